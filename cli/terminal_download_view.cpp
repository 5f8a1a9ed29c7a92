#include "cli/terminal_download_view.h"

namespace brindle::cli {

TerminalDownloadView::TerminalDownloadView(std::ostream& err, bool isTerminal,
                                           std::string comboName)
    : m_err(err), m_tty(isTerminal), m_combo(std::move(comboName)) {}

void TerminalDownloadView::setStatusLine(const std::string& caption) {
    if (caption == m_status) {
        return;
    }
    m_status = caption;
    m_percent = -1;
    if (m_tty) {
        drawBar();
    } else {
        m_err << caption << "\n";
    }
}

void TerminalDownloadView::showRetrying(bool visible) {
    if (visible) {
        ++m_rewrites;
    }
}

void TerminalDownloadView::setMacroSize(const std::string& caption) {
    m_bytes = caption;
    if (!caption.empty() && !m_tty) {
        m_err << "  " << caption << "\n";
    }
}

void TerminalDownloadView::showProgressFrame(bool visible) {
    if (!visible) {
        endBar();
    }
}

void TerminalDownloadView::showProgress(int percent) {
    if (percent == m_percent) {
        return;
    }
    m_percent = percent;
    if (m_tty) {
        drawBar();
    } else if (percent == 100) {
        m_err << "  100 % Complete\n";
    }
}

void TerminalDownloadView::drawBar() {
    constexpr int kWidth = 30;
    const int percent = m_percent < 0 ? 0 : m_percent;
    const int filled = percent * kWidth / 100;
    m_err << "\r\033[K" << m_status << " [" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << percent << " %";
    if (!m_bytes.empty()) {
        m_err << "  " << m_bytes;
    }
    m_err.flush();
    m_barShown = true;
}

void TerminalDownloadView::endBar() {
    if (m_barShown) {
        m_err << "\n";
        m_barShown = false;
    }
}

}  // namespace brindle::cli
