#include "cli/terminal_utility_view.h"

namespace brindle::cli {

TerminalUtilityView::TerminalUtilityView(std::ostream& err, bool isTerminal)
    : m_err(err), m_progress(err, isTerminal) {}

void TerminalUtilityView::choose(std::string combination, std::vector<std::string> lines,
                                 int selectedLine) {
    m_combination = std::move(combination);
    m_lines = std::move(lines);
    m_selectedLine = selectedLine;
}

void TerminalUtilityView::showReadingMessage(bool visible) {
    if (visible) {
        m_err << "Reading E2prom...\n";
        m_err.flush();
    }
}

std::string TerminalUtilityView::sequenceLineText(int index) const {
    return index >= 0 && index < static_cast<int>(m_lines.size())
               ? m_lines[static_cast<std::size_t>(index)]
               : std::string();
}

}  // namespace brindle::cli
