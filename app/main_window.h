#pragma once
// The program's one window, as a shell: the tab widget with the four tabs,
// the Exit and Help buttons, the controller link and the port state in the
// status bar, running one controller operation at a time, and closing. It
// owns the shared MainState and the Prompter that shows its messages, runs
// start-up when created, and lends both to the tabs as their OperationHost.
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "app/operation_host.h"
#include "app/setup_tab.h"
#include "link/link_context.h"
#include "link/receiving_port.h"
#include "state/main_state.h"

class QCloseEvent;
class QLabel;
class QPushButton;
class QShortcut;
class QSettings;
class QStatusBar;
class QTabWidget;

namespace brindle::app {

class DownloadTab;
class HelpWindow;
class ReadBackTab;
class SpecifyTab;

inline constexpr const char* kWindowCaption = "Brindle ZRT Download Utility      version 1.2";
inline constexpr int kReadBackTabIndex = 1;
inline constexpr const char* kNoPortMessage = "The serial port is not available.";

struct WindowOptions {
    // Messages go here; without one they go to message boxes.
    base::Prompter* prompter = nullptr;
    DriveEntries drives;
    // Where the window's size, position and tab are remembered between runs;
    // none: not remembered. Must outlive the window.
    QSettings* layoutSettings = nullptr;
    // The serial ports the Setup tab's device chooser offers (the system's
    // when empty).
    PortLister portLister = {};
    // An installed program's help document, shown while the data folder has
    // no copy of its own ("" when the data folder is the program's).
    std::string installedHelpDocument{};
};

class MainWindow : public QWidget, public OperationHost {
    Q_OBJECT
  public:
    // dataDir is the data folder (store/data_folder.h); a separator is added
    // when it has none.
    explicit MainWindow(std::string dataDir, WindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    state::MainState& state() override { return m_state; }
    link::SharedSignals& sharedSignals() override { return m_signals; }
    link::LinkContext* link() override { return m_link.get(); }
    base::Prompter& prompter() override { return *m_closingPrompter; }
    void InitializePort() override;
    bool runOperation(const Operation& operation) override;
    bool operationRunning() const override { return m_operationRunning; }
    int operationsStarted() const override { return m_operationsStarted; }
    link::Pump* pump() override { return m_pump; }
    void showOverallProgress(const std::string& text) override;

    QPushButton* exitcmd() const { return m_exitcmd; }
    QPushButton* helpcmd() const { return m_helpcmd; }
    QTabWidget* SSTab1() const { return m_SSTab1; }
    SpecifyTab& specifyTab() { return *m_specify; }
    ReadBackTab& readBackTab() { return *m_readBack; }
    DownloadTab& downloadTab() { return *m_download; }
    SetupTab& setupTab() { return *m_setup; }
    // The help window while it is open (nullptr otherwise).
    HelpWindow* helpWindow() const;

    // The controller link. The window owns neither the port nor the pump; both
    // must outlive it. Attaching installs the receive timer's tick on the pump
    // (55 ms) and makes InitializePort open the port; without a link the
    // controller buttons only say that the port is not available.
    void attachLink(link::Port& port, link::Pump& pump);
    bool linkAttached() const { return m_link != nullptr; }

    // The port state in the status bar.
    void refreshPortStatus();
    QStatusBar* statusBar() const { return m_statusBar; }
    QLabel* portStatus() const { return m_portStatus; }
    QLabel* overallProgress() const { return m_overallProgress; }

  protected:
    // Exit and the close box: every operation ends at once (its waits see
    // the close within a tick), the receive timer stops, the port closes and
    // the window goes. A running operation's stack still uses this window, so
    // the close completes when it has returned.
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildWindow(const DriveEntries& drives, const PortLister& portLister);
    void connectTabs();
    // Start-up, run once from the constructor; a step that fails is skipped
    // and the next one runs.
    void loadWindow(std::string dataDir);
    void onTimerTick();
    // The line's settings from ConfigRecord and the chosen devices.
    void refreshLinkSettings();
    void onHelpcmdClicked();
    void onEscapeShortcutActivated();
    void restoreLayout();
    void saveLayout();
    void shutDown();

    state::MainState m_state;
    link::SharedSignals m_signals;
    std::unique_ptr<base::Prompter> m_ownPrompter;
    base::Prompter* m_prompter = nullptr;
    std::unique_ptr<base::Prompter> m_closingPrompter;
    QSettings* m_layoutSettings = nullptr;
    std::string m_installedHelpDocument;

    link::Port* m_port = nullptr;
    link::Pump* m_pump = nullptr;
    // The port as the operations read it: their reads feed the receive window.
    std::unique_ptr<link::ReceivingPort> m_receivingPort;
    std::unique_ptr<link::LinkContext> m_link;
    bool m_operationRunning = false;
    int m_operationsStarted = 0;
    bool m_closeRequested = false;

    QPushButton* m_exitcmd = nullptr;
    QPushButton* m_helpcmd = nullptr;
    QTabWidget* m_SSTab1 = nullptr;
    SpecifyTab* m_specify = nullptr;
    ReadBackTab* m_readBack = nullptr;
    DownloadTab* m_download = nullptr;
    SetupTab* m_setup = nullptr;
    QPointer<HelpWindow> m_help;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_portStatus = nullptr;
    QLabel* m_overallProgress = nullptr;
    QShortcut* m_escape = nullptr;
};

}  // namespace brindle::app
