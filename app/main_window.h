#pragma once
// The program's one window. It owns the shared MainState, the Prompter that
// shows its messages, and every control; it runs start-up when created.
//
// The handlers kept here are small slots: each calls a core operation with
// the state and the controls' current values. Handlers of the other tabs are
// connected by the code that owns those operations, through the tab structs.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/tabs.h"
#include "base/prompter.h"
#include "base/status.h"
#include "link/link_context.h"
#include "state/main_state.h"
#include "store/config.h"

class QCloseEvent;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace brindle::app {

class WidgetDownloadView;
class WidgetReceiveView;

inline constexpr const char* kWindowCaption = "Brindle ZRT Download Utility      version 1.2";
inline constexpr int kReadBackTabIndex = 1;
inline constexpr const char* kNoPortMessage = "The serial port is not available.";

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // dataDir is the program's folder; a separator is added when it has none.
    // Without a prompter, messages go to message boxes.
    explicit MainWindow(std::string dataDir, base::Prompter* prompter = nullptr,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    state::MainState& state() { return m_state; }
    base::Prompter& prompter() { return *m_prompter; }

    QPushButton* exitcmd() const { return m_exitcmd; }
    QPushButton* helpcmd() const { return m_helpcmd; }
    QTabWidget* SSTab1() const { return m_SSTab1; }
    SpecifyTab& specifyTab() { return m_specify; }
    ReadBackTab& readBackTab() { return m_readBack; }
    DownloadTab& downloadTab() { return m_download; }
    SetupTab& setupTab() { return m_setup; }

    // Configures and (re)opens the serial port from ConfigRecord. Start-up and
    // the speed and port options call it; the serial link installs what it
    // does with setInitializePort (until then it does nothing).
    void InitializePort();
    void setInitializePort(std::function<void()> initializePort);

    // The controller link. The window owns neither the port nor the pump; both
    // must outlive it. Attaching installs Timer1's tick on the pump (55 ms),
    // makes InitializePort open the port, and enables the controller buttons'
    // work; without a link they only say that the port is not available.
    void attachLink(link::Port& port, link::Pump& pump);
    bool linkAttached() const { return m_link != nullptr; }
    link::LinkContext* linkContext() { return m_link.get(); }

    // Runs one controller operation from a click: refuses (returning false)
    // while another runs or without a link, and shows the port state after
    // it. A close asked for during the operation happens when it returns.
    bool runOperation(const std::function<void(link::LinkContext&)>& operation);
    bool operationRunning() const { return m_operationRunning; }

    // The port state in the status bar, from Port::describe().
    void refreshPortStatus();
    QStatusBar* statusBar() const { return m_statusBar; }
    QLabel* portStatus() const { return m_portStatus; }

  protected:
    // Closing during an operation cancels it and closes once it has ended:
    // the operation's stack still uses this window.
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildWindow();
    void connectSetupHandlers();

    // Start-up, run once from the constructor.
    void loadWindow(std::string dataDir);
    void listCombinations();
    void listMacros();
    void restoreDriveAndPattern();
    void restoreFolder();
    void loadConfiguration();
    void showDelays();
    void selectPortOption();
    void selectSpeedOption();

    // Setup tab handlers.
    void delayTextChanged(store::DelayField field);
    void delayEntryChosen(store::DelayField field, int entry);
    void delayEditingFinished(store::DelayField field);
    void BaudOpt_Click(int index);
    void ComOpt_Click(int index);

    // Down Load tab handlers.
    void connectDownloadHandlers();
    void CustomList_Click(int index);
    void QuickCmd_Click();
    void CancelCmd_Click();
    void Check1_Click(bool checked);
    void ClearHistory_Click();
    void Timer1_Timer();

    QComboBox* delaySelector(store::DelayField field) const;
    int16_t& delayCopy(store::DelayField field);
    // Failures while the window loads are skipped silently; afterwards they
    // are shown as critical messages.
    void reportFailure(const base::Status& status);

    state::MainState m_state;
    std::unique_ptr<base::Prompter> m_ownPrompter;
    base::Prompter* m_prompter = nullptr;
    std::function<void()> m_initializePort;

    std::unique_ptr<WidgetReceiveView> m_receiveView;
    std::unique_ptr<WidgetDownloadView> m_downloadView;
    link::Port* m_port = nullptr;
    link::Pump* m_pump = nullptr;
    std::unique_ptr<link::LinkContext> m_link;
    bool m_operationRunning = false;
    bool m_closeRequested = false;

    QPushButton* m_exitcmd = nullptr;
    QPushButton* m_helpcmd = nullptr;
    QTabWidget* m_SSTab1 = nullptr;
    SpecifyTab m_specify;
    ReadBackTab m_readBack;
    DownloadTab m_download;
    SetupTab m_setup;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_portStatus = nullptr;

    // A refused or unwritten delay, reported once when editing of that
    // selector finishes instead of on every keystroke.
    std::array<base::Status, 2> m_pendingDelayFailure{base::Status::success(),
                                                      base::Status::success()};
    bool m_settingDelayText = false;
};

}  // namespace brindle::app
