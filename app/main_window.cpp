#include "app/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/closing_prompter.h"
#include "app/download_tab.h"
#include "app/elided_label.h"
#include "app/help_window.h"
#include "app/message_box_prompter.h"
#include "app/read_back_tab.h"
#include "app/specify_tab.h"
#include "app/text_conversion.h"
#include "app/widget_download_view.h"
#include "app/widget_factory.h"
#include "app/window_icon.h"
#include "base/text.h"
#include "link/com_port.h"
#include "link/initialize_port.h"
#include "link/qt/system_ports.h"
#include "link/receive_window.h"
#include "link/sync_with_module.h"
#include "store/config.h"
#include "store/data_folder.h"
#include "store/databases.h"

namespace brindle::app {

namespace {

// Settings kept outside the configuration record: where the window was and
// which tab it showed (the tabs keep their own choices beside them).
constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kTabKey = "window/tab";

}  // namespace

MainWindow::MainWindow(std::string dataDir, WindowOptions options, QWidget* parent)
    : QWidget(parent),
      m_prompter(options.prompter),
      m_layoutSettings(options.layoutSettings),
      m_installedHelpDocument(options.installedHelpDocument) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    setWindowIcon(brindleIcon());
    if (!m_prompter) {
        m_ownPrompter = std::make_unique<MessageBoxPrompter>(this);
        m_prompter = m_ownPrompter.get();
    }
    m_closingPrompter = std::make_unique<ClosingPrompter>(*m_prompter, m_signals.Closing);
    buildWindow(options.drives, options.portLister);
    connectTabs();
    loadWindow(std::move(dataDir));
    refreshPortStatus();
    keepScrollAreaBordersVisible(this);
    restoreLayout();
}

MainWindow::~MainWindow() {
    // The pump outlives the window: its ticks must not reach a destroyed one.
    if (m_pump != nullptr) {
        m_pump->setTickHandler({});
    }
}

void MainWindow::buildWindow(const DriveEntries& drives, const PortLister& portLister) {
    m_specify = new SpecifyTab(*this);
    m_readBack = new ReadBackTab(*this);
    m_download = new DownloadTab(
        *this, StatusArgumentsHook{[this](bool on) { m_readBack->setConvertStatusArguments(on); }});
    m_setup = new SetupTab(*this, drives,
                           portLister ? portLister : PortLister(link::qt::systemSerialPorts));
    m_setup->rememberPortChoicesIn(m_layoutSettings);
    m_download->rememberChoicesIn(m_layoutSettings);

    m_SSTab1 = new QTabWidget;
    m_SSTab1->setObjectName(QStringLiteral("SSTab1"));
    m_SSTab1->addTab(m_specify, QStringLiteral("Specify Macros"));
    m_SSTab1->addTab(m_readBack, QStringLiteral("Read back"));
    m_SSTab1->addTab(m_download, QStringLiteral("Down Load"));
    m_SSTab1->addTab(m_setup, QStringLiteral("Setup"));
    m_SSTab1->setCurrentIndex(kReadBackTabIndex);

    m_exitcmd = makeButton("exitcmd", "E&xit", "Close Brindle (Ctrl+Q)");
    m_helpcmd = makeButton("helpcmd", "&Help", "Click to view command descriptions");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_helpcmd);
    buttons->addWidget(m_exitcmd);
    // The port state, so that a port that could not be opened is visible. A
    // long device path is shortened rather than widening the window.
    m_statusBar = new QStatusBar;
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setSizeGripEnabled(false);
    m_portStatus = named(new ElidedLabel, "PortStatus");
    m_statusBar->addWidget(m_portStatus, 1);
    // How far a download has come as a whole; the progress frame shows the
    // current macro only. It shares the bar with the port state once a
    // download has shown it, each shortened rather than pushing the other out.
    m_overallProgress = named(new ElidedLabel, "OverallProgress");
    m_overallProgress->setVisible(false);
    m_statusBar->addPermanentWidget(m_overallProgress, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_SSTab1, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_statusBar);
}

void MainWindow::connectTabs() {
    // Exit closes the window like its close box: a running operation is
    // cancelled first and the window goes when it has ended.
    connect(m_exitcmd, &QPushButton::clicked, this, &QWidget::close);
    // Leaving the Read back tab hides its header fields.
    connect(m_SSTab1, &QTabWidget::currentChanged, this,
            [this, previous = m_SSTab1->currentIndex()](int now) mutable {
                if (previous == kReadBackTabIndex && now != previous) {
                    m_readBack->leaveTab();
                }
                previous = now;
            });
    connect(m_setup, &SetupTab::clearFrameSwitched, m_download, &DownloadTab::showClearFrame);
    // combinationChoice holds the same entries as ComboList.
    connect(m_specify, &SpecifyTab::combinationAdded, m_download, &DownloadTab::addCombination);
    connect(m_specify, &SpecifyTab::combinationRemoved, m_download,
            &DownloadTab::removeCombinationsNamed);
    connect(m_helpcmd, &QPushButton::clicked, this, [this] { onHelpcmdClicked(); });
    // Esc belongs to the run while one goes on, and to the focused control
    // (a list's popup, a text box) otherwise.
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, this, [this] { onEscapeShortcutActivated(); });
    // Ctrl+Q from the help window too.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setContext(Qt::ApplicationShortcut);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
}

// Esc presses the Cancel a run offers: the progress frame's, or the
// read-back's.
void MainWindow::onEscapeShortcutActivated() {
    if (m_operationRunning && !m_download->pressCancel()) {
        m_readBack->pressCancel();
    }
}

void MainWindow::restoreLayout() {
    if (m_layoutSettings == nullptr) {
        return;
    }
    restoreGeometry(m_layoutSettings->value(QString::fromLatin1(kGeometryKey)).toByteArray());
    bool isNumber = false;
    const int tab = m_layoutSettings->value(QString::fromLatin1(kTabKey)).toInt(&isNumber);
    if (isNumber && tab >= 0 && tab < m_SSTab1->count()) {
        m_SSTab1->setCurrentIndex(tab);
    }
}

// A layout that cannot be stored is not worth a message: the window then
// opens where the system puts it.
void MainWindow::saveLayout() {
    if (m_layoutSettings == nullptr) {
        return;
    }
    m_layoutSettings->setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
    m_layoutSettings->setValue(QString::fromLatin1(kTabKey), m_SSTab1->currentIndex());
    m_layoutSettings->sync();
}

HelpWindow* MainWindow::helpWindow() const {
    return m_help;
}

// The help window is loaded on the first click and after it was closed; a
// click while it is open only brings it to the front. As a child of this
// window it goes when this window goes.
void MainWindow::onHelpcmdClicked() {
    if (!m_help) {
        // With the window's own message boxes, the help window shows its
        // own over itself; a prompter handed in takes its messages too.
        const store::DataFolder folder{m_state.DataDir, !m_installedHelpDocument.empty(),
                                       m_installedHelpDocument};
        m_help = new HelpWindow(m_state.DataDir, m_ownPrompter ? nullptr : &prompter(), this,
                                store::helpDocumentToRead(folder));
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainWindow::loadWindow(std::string dataDir) {
    m_state.DataDir = base::withTrailingSlash(std::move(dataDir));

    const std::vector<std::string> combinations = store::listComboNames(m_state.DataDir);
    m_specify->listCombinations(combinations);
    m_download->listCombinations(combinations);
    m_specify->listMacros(store::listMacroNames(m_state.DataDir, m_state.MacroBuffer));
    m_setup->showDataFolder(m_state.DataDir);
    m_setup->restoreBrowser();
    base::Result<store::ConfigRecord> config = store::loadConfigAtStartup(m_state.DataDir);
    // Defaults that could not be written are still the record in use.
    base::skipOnError(config);
    m_state.ConfigRecord = config.valueOr(store::ConfigRecord{});
    if (m_layoutSettings != nullptr) {
        m_state.ComChoices = link::qt::readComChoices(*m_layoutSettings);
    }
    m_setup->showConfiguration();
    InitializePort();
    m_state.LoadedYet = true;
}

void MainWindow::refreshLinkSettings() {
    m_link->settings =
        link::comSettings(m_state.ConfigRecord.PortNumber, m_state.ConfigRecord.BaudRate,
                          m_state.DataDir, m_state.ComChoices);
}

void MainWindow::InitializePort() {
    if (m_link) {
        refreshLinkSettings();
        link::InitializePort(*m_link);
        refreshPortStatus();
    }
}

void MainWindow::attachLink(link::Port& port, link::Pump& pump) {
    if (m_operationRunning) {
        return;  // the running operation holds the old context
    }
    m_port = &port;
    m_pump = &pump;
    // A new line keeps what the window knew of the old one: whether the port
    // was ever opened and whether the module is in step.
    const bool started = m_link && m_link->StartComm;
    const bool synched = m_link && m_link->Synched_Up;
    auto receiving = std::make_unique<link::ReceivingPort>(port, m_download->receiveView());
    m_link = std::make_unique<link::LinkContext>(*receiving, pump, m_download->receiveView(),
                                                 m_download->downloadView(), m_signals,
                                                 receiving->lines());
    m_receivingPort = std::move(receiving);
    m_link->RetryLimit = 40;
    m_link->WriteSettleTicks = 1;
    m_link->ReadSettleTicks = 1;
    m_link->WakeUpLimit = link::kWakeUpLimit;
    m_link->StartComm = started;
    m_link->Synched_Up = synched;
    // The box may have changed while no line was attached.
    m_link->lines.ReceiveWindowTicked = m_download->receiveWindowActive->isChecked();
    refreshLinkSettings();
    pump.setTickHandler([this] { onTimerTick(); });
    pump.setInterval(link::kStartIntervalMs);
    pump.setIdleTicks(m_signals.ReceiveWindowActive);
    refreshPortStatus();
}

bool MainWindow::runOperation(const Operation& operation) {
    if (m_operationRunning) {
        return false;
    }
    if (!m_link) {
        prompter().show(kNoPortMessage, base::Icon::Critical, base::Buttons::Ok);
        return false;
    }
    // A speed no port runs at (a damaged or hand-edited configuration file)
    // would make every timed wait absurd: nothing is opened or sent at it.
    if (const std::string problem = link::storedSpeedProblem(store::configPath(m_state.DataDir),
                                                             m_state.ConfigRecord.BaudRate);
        !problem.empty()) {
        prompter().show(problem + " Choose a Baud Rate on the Setup tab.", base::Icon::Critical,
                        base::Buttons::Ok);
        return false;
    }
    m_operationRunning = true;
    ++m_operationsStarted;
    m_escape->setEnabled(true);
    // What the last download wrote is no longer news once another operation
    // starts (a download shows its own progress again at once).
    showOverallProgress({});
    refreshLinkSettings();
    {
        // The receive timer leaves the port to the operation meanwhile.
        const link::OperationScope scope(*m_link);
        operation(*m_link);
    }
    m_escape->setEnabled(false);
    m_operationRunning = false;
    // The operation may have switched the receive window back on.
    m_pump->setIdleTicks(m_signals.ReceiveWindowActive);
    refreshPortStatus();
    if (m_closeRequested) {
        m_closeRequested = false;
        close();
    }
    return true;
}

void MainWindow::refreshPortStatus() {
    std::string text;
    if (m_port == nullptr) {
        text = kNoPortMessage;
    } else if (!m_link || !m_link->StartComm) {
        // The port opens with the first controller operation, never at start-up.
        text = "Com" + std::to_string(m_state.ConfigRecord.PortNumber) +
               ": not opened yet (the first controller operation opens it)";
    } else {
        text = m_port->describe();
    }
    const QString shown = toQt(text);
    if (m_portStatus->text() != shown) {
        m_portStatus->setText(shown);
    }
}

void MainWindow::showOverallProgress(const std::string& text) {
    m_overallProgress->setText(toQt(text));
    m_overallProgress->setVisible(!text.empty());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_link) {
        m_link->CancelFlag = true;
    }
    m_signals.Closing.request();
    if (m_operationRunning) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    saveLayout();
    shutDown();
    QWidget::closeEvent(event);
}

void MainWindow::shutDown() {
    if (m_pump != nullptr) {
        m_pump->setTickHandler({});
    }
    // Files are opened and closed within each handler: none is open here.
    if (m_port != nullptr && m_port->PortOpen()) {
        m_port->setPortOpen(false);
    }
}

void MainWindow::onTimerTick() {
    const bool started = m_link->StartComm;
    if (!started) {
        refreshLinkSettings();
    }
    link::timerTick(*m_link, *m_port);
    // The first tick with the receive window active opens the port; an
    // operation opens it, or finds it failing, between its own steps.
    if (m_operationRunning || (!started && m_link->StartComm)) {
        refreshPortStatus();
    }
}

}  // namespace brindle::app
