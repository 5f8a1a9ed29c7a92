#pragma once
// What the Down Load tab's operation views reach of it: its controls and its
// progress frame. The tab is one; the views see it only as this.
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace brindle::app {

// How the tab ticks "Convert Status Arguments to HEX", which lives on the
// Read back tab.
struct StatusArgumentsHook {
    std::function<void(bool)> setTicked;
};

class DownloadTabControls {
  public:
    // The progress frame, for the operations' views: the keyboard focus
    // waiting for a run's end moves to its Cancel and back.
    virtual void showProgressFrame(bool visible) = 0;

    // The controls, by their control names.
    QComboBox* combinationChoice = nullptr;
    QListWidget* MacrosInCombination = nullptr;
    QPushButton* downloadButton = nullptr;
    QPushButton* ExecuteBlock = nullptr;
    QPushButton* CancelExec = nullptr;
    // Opens the dialog that downloads into several ports at once.
    QPushButton* gangDownloadButton = nullptr;
    QCheckBox* receiveWindowActive = nullptr;
    // Download reads the module first and writes only what differs.
    QCheckBox* writeChangedOnlyBox = nullptr;
    QListWidget* receiveWindowLines = nullptr;
    QPushButton* ClearHistory = nullptr;
    QCheckBox* TransposeToHex = nullptr;
    QGroupBox* ProgressFrame = nullptr;
    QPushButton* progressCancelButton = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* MacroBytes = nullptr;
    QLabel* RetryLabel = nullptr;
    QLabel* PercentCaption = nullptr;
    QLabel* progressStatusLine = nullptr;
    QGroupBox* ClearFrame = nullptr;
    QLineEdit* LowerFill = nullptr;
    QLineEdit* UpperFill = nullptr;
    QPushButton* clearEpromButton = nullptr;

  protected:
    DownloadTabControls() = default;
    ~DownloadTabControls() = default;
    DownloadTabControls(const DownloadTabControls&) = delete;
    DownloadTabControls& operator=(const DownloadTabControls&) = delete;
};

}  // namespace brindle::app
