#pragma once
// A Prompter for tests: answers from a script (Yes / Ok by default) and keeps
// every message it was asked to show.
#include <deque>
#include <string>
#include <vector>

#include "base/prompter.h"

namespace brindle::testing {

struct ShownMessage {
    std::string text;
    base::Icon icon;
    base::Buttons buttons;
    std::string title;
};

class ScriptedPrompter : public base::Prompter {
  public:
    base::Answer show(const std::string& text, base::Icon icon, base::Buttons buttons,
                      const std::string& title) override {
        messages.push_back({text, icon, buttons, title});
        if (!answers.empty()) {
            base::Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == base::Buttons::YesNo ? base::Answer::Yes : base::Answer::Ok;
    }

    std::vector<ShownMessage> messages;
    std::deque<base::Answer> answers;
};

}  // namespace brindle::testing
