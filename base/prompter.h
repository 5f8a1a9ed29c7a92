#pragma once
// Message boxes. The window shows real dialogs, tests script the answers and
// record every message, the command-line tool prints them.
#include <string>

namespace brindle::base {

enum class Icon { Critical, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

inline constexpr const char* kAppTitle = "Brindle";

// The answer nobody can regret, for when no one can be asked: OK to a
// message, Cancel and No to a question.
inline Answer safeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
    }
    return Answer::Cancel;
}

class Prompter {
  public:
    virtual ~Prompter() = default;
    // Shows the message and waits for the user's answer.
    virtual Answer show(const std::string& text, Icon icon, Buttons buttons,
                        const std::string& title = kAppTitle) = 0;
};

}  // namespace brindle::base
