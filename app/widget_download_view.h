#pragma once
// What a download shows and reads, on the window's widgets: the progress
// frame and the selection of the Down Load tab, StatArgument of the Read back
// tab, and the buttons a run disables.
#include "app/tabs.h"
#include "download/download_view.h"

namespace brindle::app {

class WidgetDownloadView : public download::DownloadView {
  public:
    WidgetDownloadView(DownloadTab& download, ReadBackTab& readBack)
        : m_tab(download), m_readBack(readBack) {}

    void SetLabel6(const std::string& caption) override;
    void SetRetryLabelVisible(bool visible) override;

    int CustomListSelectedIndex() const override;
    int CustomListCount() const override;
    std::string CustomListText() const override;

    bool StatArgumentChecked() const override;
    void SetStatArgumentChecked(bool checked) override;

    void SetMacroBytes(const std::string& caption) override;
    void SetMacroBytesVisible(bool visible) override;
    void SetProgressFrameVisible(bool visible) override;
    void SetProgress(int percent) override;
    void SetPercentCaption(const std::string& caption) override;

    int MacrosInCombinationCount() const override;
    void MacrosInCombinationSelect(int index) override;
    void SetMacrosInCombinationEnabled(bool enabled) override;

    void SetCheck1Enabled(bool enabled) override;
    void SetOperationButtonsEnabled(bool enabled) override;

  private:
    DownloadTab& m_tab;
    ReadBackTab& m_readBack;
};

}  // namespace brindle::app
