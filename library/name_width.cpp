#include "library/name_width.h"

#include "base/text.h"

namespace brindle::library {

bool nameFitsField(const std::string& nameLine, std::size_t width, const std::string& what,
                   const std::string& consequence, base::Prompter& prompter) {
    const std::string name = base::trimTrailingBlanks(nameLine);
    if (name.size() <= width) {
        return true;
    }
    prompter.show("The " + what + " \"" + name + "\" has " + std::to_string(name.size()) +
                      " characters; a " + what + " holds at most " + std::to_string(width) + ". " +
                      consequence,
                  base::Icon::Critical, base::Buttons::Ok);
    return false;
}

}  // namespace brindle::library
