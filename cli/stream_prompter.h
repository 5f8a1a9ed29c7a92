#pragma once
// Message boxes on a terminal: the text on the error stream, with a word for
// the icon. Questions are answered with the safe choice (No / Cancel), since
// a script cannot be asked. Once the run is cancelled (a flag given to
// quietWhile is set) nothing more is shown: the command says itself how it
// ended, as the window shows nothing while it closes.
#include <ostream>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "link/link_context.h"

namespace brindle::cli {

class StreamPrompter : public base::Prompter {
  public:
    explicit StreamPrompter(std::ostream& err) : m_err(err) {}

    base::Answer show(const std::string& text, base::Icon icon, base::Buttons buttons,
                      const std::string&) override {
        if (m_quiet != nullptr && m_quiet->requested()) {
            return base::safeAnswer(buttons);
        }
        const char* word = icon == base::Icon::Critical      ? "error"
                           : icon == base::Icon::Exclamation ? "warning"
                                                             : "note";
        m_err << word << ": " << text << "\n";
        messages.push_back(text);
        return base::safeAnswer(buttons);
    }

    void quietWhile(const link::StopSignal& stop) { m_quiet = &stop; }

    std::vector<std::string> messages;

  private:
    std::ostream& m_err;
    const link::StopSignal* m_quiet = nullptr;
};

}  // namespace brindle::cli
