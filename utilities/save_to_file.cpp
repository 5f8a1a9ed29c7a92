#include "utilities/save_to_file.h"

#include "base/files.h"

namespace brindle::utilities {

bool readyToSave(const std::string& text, base::Prompter& prompter) {
    if (text.empty()) {
        prompter.show("Please read E2prom before saving!", base::Icon::Critical, base::Buttons::Ok);
        return false;
    }
    return true;
}

base::Status SaveToFile(const std::string& fileName, const std::string& text,
                        base::Prompter& prompter) {
    if (fileName.empty()) {
        return base::Status::success();
    }
    base::Status written = base::replaceFile(fileName, text);
    if (!written) {
        prompter.show(written.message(), base::Icon::Critical, base::Buttons::Ok);
    }
    return written;
}

}  // namespace brindle::utilities
