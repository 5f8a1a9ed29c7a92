#pragma once
// The receive window on a terminal (--monitor): each line the receive window
// would show, as it shows it ("<cr>" at the end), on the error stream,
// escaped as stored texts are (shown_text.h). The session ticks its line's
// box for it, so the command's run feeds it by the window's own path
// (link::ReceivingPort and the receive timer's line rules); it only prints
// what that path adds.
#include <ostream>
#include <string>

#include "cli/shown_text.h"
#include "link/views.h"

namespace brindle::cli {

class TerminalReceiveView : public link::ReceiveView {
  public:
    TerminalReceiveView(std::ostream& err, TextStyle style) : m_err(err), m_style(style) {}

    void addReceivedLine(const std::string& entry) override;
    void clearReceivedLines() override {
        m_count = 0;
        m_selected = -1;
    }
    int receivedLineCount() const override { return m_count; }
    int selectedReceivedLine() const override { return m_selected; }
    void selectReceivedLine(int index) override { m_selected = index; }

    int linesShown() const { return m_shown; }

  private:
    std::ostream& m_err;
    TextStyle m_style;
    int m_count = 0;
    int m_selected = -1;
    int m_shown = 0;
};

}  // namespace brindle::cli
