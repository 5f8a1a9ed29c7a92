#pragma once
// The download's progress on a terminal: a one-line progress bar on a TTY,
// plain lines otherwise (one per macro and per status change), on the error
// stream so that standard output stays free for data.
#include <ostream>
#include <string>

#include "download/download_view.h"
#include "link/views.h"

namespace brindle::cli {

class TerminalDownloadView : public download::DownloadView, public link::ReceiveView {
  public:
    TerminalDownloadView(std::ostream& err, bool isTerminal, std::string comboName);

    // Combination chosen on the command line, as if chosen in the list.
    int CustomListSelectedIndex() const override { return 0; }
    int CustomListCount() const override { return 1; }
    std::string CustomListText() const override { return m_combo; }

    bool StatArgumentChecked() const override { return m_statArgument; }
    void SetStatArgumentChecked(bool checked) override { m_statArgument = checked; }

    void SetLabel6(const std::string& caption) override;
    void SetRetryLabelVisible(bool visible) override;
    void SetMacroBytes(const std::string& caption) override;
    void SetMacroBytesVisible(bool) override {}
    void SetProgressFrameVisible(bool visible) override;
    void SetProgress(int percent) override;
    void SetPercentCaption(const std::string&) override {}

    int MacrosInCombinationCount() const override { return 0; }
    void MacrosInCombinationSelect(int) override {}
    void SetMacrosInCombinationEnabled(bool) override {}
    void SetCheck1Enabled(bool) override {}
    void SetOperationButtonsEnabled(bool) override {}

    // No receive window on a terminal.
    bool Check1Checked() const override { return false; }
    void List1Add(const std::string&) override {}
    void List1Clear() override {}
    int List1Count() const override { return 0; }
    int List1SelectedIndex() const override { return -1; }
    void List1Select(int) override {}

    int rewrites() const { return m_rewrites; }

  private:
    void drawBar();
    void endBar();

    std::ostream& m_err;
    bool m_tty;
    std::string m_combo;
    bool m_statArgument = true;
    std::string m_status;
    std::string m_bytes;
    int m_percent = -1;
    bool m_barShown = false;
    int m_rewrites = 0;
};

}  // namespace brindle::cli
