#include "cli/terminal_receive_view.h"

namespace brindle::cli {

void TerminalReceiveView::addReceivedLine(const std::string& entry) {
    ++m_count;
    ++m_shown;
    // Starts at the line's beginning, over a progress bar being drawn there;
    // the bar is drawn again below at its next change.
    if (m_style.escape) {
        m_err << "\r\x1b[K";
    }
    m_err << "receive: " << shownText(entry, m_style) << "\n";
    m_err.flush();
}

}  // namespace brindle::cli
