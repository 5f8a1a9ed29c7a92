#include "store/delay_edit.h"

#include <utility>

#include "base/numeric.h"

namespace brindle::store {
namespace {

std::size_t slot(DelayField field) {
    return field == DelayField::Read ? 0 : 1;
}

}  // namespace

void DelayEdit::textChanged(const std::string& dataDir, ConfigRecord& config, DelayField field,
                            std::string_view text, int16_t& moduleCopy, bool reportable) {
    base::Status stored = storeDelay(dataDir, config, field, text, moduleCopy);
    if (reportable) {
        m_pending[slot(field)] = std::move(stored);
    }
}

base::Status DelayEdit::entryChosen(const std::string& dataDir, ConfigRecord& config,
                                    DelayField field, std::string_view entryText,
                                    int16_t& moduleCopy) {
    m_pending[slot(field)] = base::Status::success();
    return storeDelay(dataDir, config, field, entryText, moduleCopy);
}

DelayEdit::Finish DelayEdit::editingFinished(DelayField field, std::string_view currentText,
                                             int16_t moduleCopy) {
    Finish finish;
    finish.report = std::exchange(m_pending[slot(field)], base::Status::success());
    // A refused value is replaced by the one the record holds. After a failed
    // write the text stays, for the user to try again.
    if (!finish.report && !base::textToInt16(currentText)) {
        finish.showText = base::decimalText(moduleCopy);
    }
    return finish;
}

}  // namespace brindle::store
