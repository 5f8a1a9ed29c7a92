#pragma once
// The window's messages while it closes: an operation that the close ended
// must not hold the shutdown up with a message box, so nothing is shown and
// every question gets its safe answer (Cancel, No).
#include "base/prompter.h"
#include "link/link_context.h"

namespace brindle::app {

class ClosingPrompter : public base::Prompter {
  public:
    ClosingPrompter(base::Prompter& inner, const link::StopSignal& closing)
        : m_inner(inner), m_closing(closing) {}

    base::Answer show(const std::string& text, base::Icon icon, base::Buttons buttons,
                      const std::string& title) override {
        if (!m_closing.requested()) {
            return m_inner.show(text, icon, buttons, title);
        }
        return base::safeAnswer(buttons);
    }

  private:
    base::Prompter& m_inner;
    const link::StopSignal& m_closing;
};

}  // namespace brindle::app
