#pragma once
// The rule of the two delay selectors while the user edits them. Every change
// of the text is stored at once (or refused when its value does not fit 16
// bits); a refusal is reported once, when editing of that selector finishes,
// not on every keystroke, and the selector then shows the stored value again
// instead of one that was never stored. Choosing a list entry is one event,
// reported at once. Nothing is reported before start-up has finished.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "store/config.h"

namespace brindle::store {

class DelayEdit {
  public:
    struct Finish {
        base::Status report = base::Status::success();  // to show the user, once
        std::optional<std::string> showText;            // the text to put back
    };

    // The selector's text changed; reportable is false while start-up or the
    // program itself sets the text.
    void textChanged(const std::string& dataDir, ConfigRecord& config, DelayField field,
                     std::string_view text, int16_t& moduleCopy, bool reportable);
    // An entry was chosen from the list: its failure is to be reported now.
    base::Status entryChosen(const std::string& dataDir, ConfigRecord& config, DelayField field,
                             std::string_view entryText, int16_t& moduleCopy);
    // Editing of the selector finished with currentText in it.
    Finish editingFinished(DelayField field, std::string_view currentText, int16_t moduleCopy);

  private:
    std::array<base::Status, 2> m_pending{base::Status::success(), base::Status::success()};
};

}  // namespace brindle::store
