#pragma once
// The download's progress on a terminal: on a TTY one line with the current
// macro's bar and the whole download's progress; otherwise plain lines (per
// status change, and the whole download's progress as each macro begins and
// at the end), on the error stream so that standard output stays free.
#include <chrono>
#include <ostream>
#include <string>

#include "download/download_view.h"
#include "link/views.h"

namespace brindle::cli {

class TerminalDownloadView : public download::DownloadView, public link::ReceiveView {
  public:
    TerminalDownloadView(std::ostream& err, bool isTerminal);

    void setConvertStatusArguments(bool) override {}

    void setStatusLine(const std::string& caption) override;
    void showRetrying(bool visible) override;
    void setMacroSize(const std::string& caption) override;
    void showMacroSize(bool) override {}
    void showOverallProgress(const download::OverallProgress& progress) override;
    void showProgressFrame(bool visible) override;
    void showProgress(int percent) override;
    void setPercentCaption(const std::string&) override {}

    void selectSequenceLine(int) override {}
    void enableSequenceList(bool) override {}
    void enableReceiveWindowBox(bool) override {}
    void enableOperationButtons(bool) override {}

    // No receive window on a terminal.
    void addReceivedLine(const std::string&) override {}
    void clearReceivedLines() override {}
    int receivedLineCount() const override { return 0; }
    int selectedReceivedLine() const override { return -1; }
    void selectReceivedLine(int) override {}

    int rewrites() const { return m_rewrites; }
    // Bytes confirmed by reading them back, as last reported.
    int bytesConfirmed() const { return m_bytesConfirmed; }

  private:
    void drawBar();
    void endBar();

    std::ostream& m_err;
    bool m_tty;
    std::string m_status;
    std::string m_bytes;
    int m_percent = -1;
    bool m_barShown = false;
    int m_rewrites = 0;
    int m_bytesConfirmed = 0;
    std::string m_overall;
    int m_overallMacro = -1;
    std::chrono::steady_clock::time_point m_overallDrawn;
};

}  // namespace brindle::cli
