#include "cli/terminal_download_view.h"

namespace brindle::cli {

TerminalDownloadView::TerminalDownloadView(std::ostream& err, bool isTerminal)
    : m_err(err), m_tty(isTerminal) {}

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

void TerminalDownloadView::showOverallProgress(const download::OverallProgress& progress) {
    // Redrawing for every byte would cost more than it tells: a few times a
    // second, and whenever a macro begins or the run ends.
    constexpr auto kRedrawEvery = std::chrono::milliseconds(200);
    m_bytesConfirmed = progress.bytesWritten;
    const auto now = std::chrono::steady_clock::now();
    const bool news = progress.macro != m_overallMacro || progress.ended;
    if (!news && now - m_overallDrawn < kRedrawEvery) {
        return;
    }
    m_overall = download::overallProgressText(progress);
    m_overallMacro = progress.macro;
    m_overallDrawn = now;
    if (m_tty) {
        drawBar();
    } else if (news) {
        m_err << "  " << m_overall << "\n";
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

// Two lines, the current macro's bar over the whole download's progress,
// redrawn in place; the cursor is left below them, so that a message printed
// meanwhile (or at the end) starts on a line of its own.
void TerminalDownloadView::drawBar() {
    constexpr int kWidth = 30;
    const int percent = m_percent < 0 ? 0 : m_percent;
    const int filled = percent * kWidth / 100;
    if (m_barShown) {
        m_err << "\033[2A";
    }
    m_err << "\r\033[K" << m_status << " [" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << percent << " %";
    if (!m_bytes.empty()) {
        m_err << "  " << m_bytes;
    }
    m_err << "\n\033[K  " << m_overall << "\n";
    m_err.flush();
    m_barShown = true;
}

void TerminalDownloadView::endBar() {
    m_barShown = false;
}

}  // namespace brindle::cli
