#pragma once
// What Execute Block and Cancel Exec show, on the Down Load tab's widgets;
// the "convert status arguments" box is reached through the tab's hook.
#include "app/download_tab_controls.h"
#include "utilities/execute_view.h"

namespace brindle::app {

class WidgetExecuteView : public utilities::ExecuteView {
  public:
    WidgetExecuteView(DownloadTabControls& tab, StatusArgumentsHook statusArguments)
        : m_tab(tab), m_statusArguments(std::move(statusArguments)) {}

    void enableSequenceList(bool enabled) override;

    void setConvertStatusArguments(bool checked) override;

    void showMacroSize(bool visible) override;
    void showCancelFrame(bool visible) override;
    void enableOperationButtons(bool enabled) override;
    void untickReceiveWindow() override;

  private:
    DownloadTabControls& m_tab;
    StatusArgumentsHook m_statusArguments;
};

}  // namespace brindle::app
