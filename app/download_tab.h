#pragma once
// The "Down Load" tab: the combination to download and its macros, the
// Download, Execute Block and Cancel Exec buttons, the receive window, the
// progress frame and the guarded clear utility. It owns its widgets and their
// handlers; the controller operations run through the OperationHost.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/operation_host.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace brindle::link {
class ReceiveView;
}

namespace brindle::app {

class WidgetClearView;
class WidgetDownloadView;
class WidgetExecuteView;
class WidgetReceiveView;

// How the tab reads and ticks "Convert Status Arguments to HEX", which lives
// on the Read back tab.
struct StatusArgumentsHook {
    std::function<bool()> ticked;
    std::function<void(bool)> setTicked;
};

class DownloadTab : public QWidget {
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
    // The progress frame, for the operations' views: the keyboard focus
    // waiting for a run's end moves to its Cancel and back.
    void showProgressFrame(bool visible);
    // Esc: presses Cancel while a run offers it; false when none does.
    bool pressCancel();

    // The controls, by their control names.
    QComboBox* CustomList = nullptr;
    QListWidget* MacrosInCombination = nullptr;
    QPushButton* QuickCmd = nullptr;
    QPushButton* ExecuteBlock = nullptr;
    QPushButton* CancelExec = nullptr;
    QPushButton* GangDownload = nullptr;
    QCheckBox* Check1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* ClearHistory = nullptr;
    QCheckBox* TransposeToHex = nullptr;
    QGroupBox* ProgressFrame = nullptr;
    QPushButton* CancelCmd = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* MacroBytes = nullptr;
    QLabel* RetryLabel = nullptr;
    QLabel* PercentCaption = nullptr;
    QLabel* Label6 = nullptr;
    QGroupBox* ClearFrame = nullptr;
    QLineEdit* LowerFill = nullptr;
    QLineEdit* UpperFill = nullptr;
    QPushButton* QueryResetCmd = nullptr;

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
    void onCancelCmdClicked();
    void onExecuteBlockClicked();
    void onCancelExecClicked();
    void onCheck1Toggled(bool checked);
    void onClearHistoryClicked();
    void onQueryResetCmdClicked();

    OperationHost& m_host;
    std::unique_ptr<WidgetReceiveView> m_receiveView;
    std::unique_ptr<WidgetDownloadView> m_downloadView;
    std::unique_ptr<WidgetExecuteView> m_executeView;
    std::unique_ptr<WidgetClearView> m_clearView;
};

}  // namespace brindle::app
