#pragma once
// What a download shows, on the Down Load tab's widgets; the "convert status
// arguments" box is reached through the tab's hook.
#include "app/download_tab_controls.h"
#include "app/operation_host.h"
#include "download/download_view.h"

namespace brindle::app {

class WidgetDownloadView : public download::DownloadView {
  public:
    WidgetDownloadView(DownloadTabControls& tab, OperationHost& host,
                       StatusArgumentsHook statusArguments)
        : m_tab(tab), m_host(host), m_statusArguments(std::move(statusArguments)) {}

    void setStatusLine(const std::string& caption) override;
    void showRetrying(bool visible) override;

    void setConvertStatusArguments(bool checked) override;

    void setMacroSize(const std::string& caption) override;
    void showMacroSize(bool visible) override;
    // In the window's status bar.
    void showOverallProgress(const download::OverallProgress& progress) override;
    void showProgressFrame(bool visible) override;
    void showProgress(int percent) override;
    void setPercentCaption(const std::string& caption) override;

    // A line the list does not have leaves it as it is.
    void selectSequenceLine(int index) override;
    void enableSequenceList(bool enabled) override;

    void enableReceiveWindowBox(bool enabled) override;
    void enableOperationButtons(bool enabled) override;

  private:
    DownloadTabControls& m_tab;
    OperationHost& m_host;
    StatusArgumentsHook m_statusArguments;
};

}  // namespace brindle::app
