#pragma once
// The window's messages while it closes: an operation that the close ended
// must not hold the shutdown up with a message box, so nothing is shown and
// every question gets its safe answer (Cancel, No).
#include "base/prompter.h"
#include "state/main_state.h"

namespace brindle::app {

class ClosingPrompter : public base::Prompter {
  public:
    ClosingPrompter(base::Prompter& inner, const state::MainState& state)
        : m_inner(inner), m_state(state) {}

    base::Answer show(const std::string& text, base::Icon icon, base::Buttons buttons,
                      const std::string& title) override {
        if (!m_state.Closing) {
            return m_inner.show(text, icon, buttons, title);
        }
        return base::safeAnswer(buttons);
    }

  private:
    base::Prompter& m_inner;
    const state::MainState& m_state;
};

}  // namespace brindle::app
