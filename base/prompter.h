#pragma once
// Message boxes. The window shows real dialogs, tests script the answers and
// record every message, the command-line tool prints them.
#include <string>

namespace brindle::base {

enum class Icon { Critical, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

inline constexpr const char* kAppTitle = "Brindle";

class Prompter {
  public:
    virtual ~Prompter() = default;
    // Shows the message and waits for the user's answer.
    virtual Answer show(const std::string& text, Icon icon, Buttons buttons,
                        const std::string& title = kAppTitle) = 0;
};

}  // namespace brindle::base
