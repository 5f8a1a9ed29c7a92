#pragma once
// The "Down Load" tab: the combination to download and its macros, the
// Download, Execute Block and Cancel Exec buttons, the receive window, the
// progress frame and the guarded clear utility. It owns its widgets and their
// handlers; the controller operations run through the OperationHost.
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/download_tab_controls.h"
#include "app/operation_host.h"
#include "utilities/execute_block.h"

class QPushButton;
class QSettings;

namespace brindle::download {
struct DownloadRequest;
}

namespace brindle::link {
class ReceiveView;
}

namespace brindle::app {

class WidgetClearView;
class WidgetDownloadView;
class WidgetExecuteView;
class WidgetReceiveView;

class DownloadTab : public QWidget, public DownloadTabControls {
    Q_OBJECT
  public:
    DownloadTab(OperationHost& host, StatusArgumentsHook statusArguments);
    ~DownloadTab() override;

    // Start-up: the combination names in file order, nothing chosen.
    void listCombinations(const std::vector<std::string>& names);
    // The combination editor added or removed a name.
    void addCombination(const std::string& name);
    void removeCombinationsNamed(const std::string& name);

    link::ReceiveView& receiveView();
    WidgetDownloadView& downloadView() { return *m_downloadView; }

    // The Setup tab's "Enable Clear Utility on Down-Load Tab" box.
    void showClearFrame(bool visible);
    void showProgressFrame(bool visible) override;
    // Esc: presses Cancel while a run offers it; false when none does.
    bool pressCancel();

    // "Write changed bytes only" is remembered here (nowhere when null); the
    // box takes the remembered value now. Must outlive the tab.
    void rememberChoicesIn(QSettings* settings);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWidgets();
    QGroupBox* buildProgressFrame();
    QGroupBox* buildClearFrame();
    void fixFrameColumnWidth();
    void connectHandlers();

    // Runs a controller operation started by one of the tab's buttons.
    void runFromButton(QPushButton* button, const OperationHost::Operation& operation);

    void onCustomListActivated(int index);
    void onQuickCmdClicked();
    void runChangedOnly(link::LinkContext& ctx, const download::DownloadRequest& request);
    void onCancelCmdClicked();
    void onExecuteBlockClicked();
    void onCancelExecClicked();
    void onCheck1Toggled(bool checked);
    void onClearHistoryClicked();
    void onQueryResetCmdClicked();
    // What Execute Block and Cancel Exec ask for: the lists' choices.
    utilities::ExecuteRequest executeRequest() const;

    OperationHost& m_host;
    QSettings* m_settings = nullptr;
    std::unique_ptr<WidgetReceiveView> m_receiveView;
    std::unique_ptr<WidgetDownloadView> m_downloadView;
    std::unique_ptr<WidgetExecuteView> m_executeView;
    std::unique_ptr<WidgetClearView> m_clearView;
};

}  // namespace brindle::app
