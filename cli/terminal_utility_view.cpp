#include "cli/terminal_utility_view.h"

namespace brindle::cli {

TerminalUtilityView::TerminalUtilityView(std::ostream& err, bool isTerminal)
    : m_err(err), m_progress(err, isTerminal) {}

void TerminalUtilityView::showReadingMessage(bool visible) {
    if (visible) {
        m_err << "Reading E2prom...\n";
        m_err.flush();
    }
}

}  // namespace brindle::cli
