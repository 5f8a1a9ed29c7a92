#pragma once
// What the read-back, block execution and the clear utility show, on a
// terminal: messages and progress on the error stream (the clear's progress
// as the download's bar), the read-back's results kept for the command to
// print. There is no receive window on a terminal.
#include <ostream>
#include <string>
#include <vector>

#include "cli/terminal_download_view.h"
#include "link/views.h"
#include "utilities/clear_view.h"
#include "utilities/execute_view.h"
#include "utilities/read_back_view.h"

namespace brindle::cli {

class TerminalUtilityView : public utilities::ReadBackView,
                            public utilities::ExecuteView,
                            public utilities::ClearView,
                            public link::ReceiveView {
  public:
    TerminalUtilityView(std::ostream& err, bool isTerminal);

    // The combination and the line chosen on the command line.

    // Read-back.
    void showReadingMessage(bool visible) override;
    // The command prints the read's own result.
    void setE2promText(const std::string&) override {}
    void setHeaderField(utilities::HeaderField, const std::string&) override {}
    void showHeaderFields(bool) override {}

    // Block execution.
    void enableSequenceList(bool) override {}
    void setConvertStatusArguments(bool) override {}
    void showMacroSize(bool) override {}
    void showCancelFrame(bool) override {}
    void enableOperationButtons(bool) override {}
    void untickReceiveWindow() override {}

    // The clear utility and the status lines of the others.
    void setStatusLine(const std::string& caption) override { m_progress.setStatusLine(caption); }
    void showRetrying(bool visible) override { m_progress.showRetrying(visible); }
    void showProgressFrame(bool visible) override { m_progress.showProgressFrame(visible); }
    void showProgress(int percent) override { m_progress.showProgress(percent); }
    void setPercentCaption(const std::string&) override {}
    void enableDownloadAndClear(bool) override {}

    void addReceivedLine(const std::string&) override {}
    void clearReceivedLines() override {}
    int receivedLineCount() const override { return 0; }
    int selectedReceivedLine() const override { return -1; }
    void selectReceivedLine(int) override {}

    // Verifications that needed another attempt.
    int retries() const { return m_progress.rewrites(); }

  private:
    std::ostream& m_err;
    TerminalDownloadView m_progress;
};

}  // namespace brindle::cli
