#include "app/main_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/message_box_prompter.h"
#include "app/widget_download_view.h"
#include "app/widget_receive_view.h"

namespace brindle::app {

MainWindow::MainWindow(std::string dataDir, base::Prompter* prompter, QWidget* parent)
    : QWidget(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    if (!m_prompter) {
        m_ownPrompter = std::make_unique<MessageBoxPrompter>(this);
        m_prompter = m_ownPrompter.get();
    }
    buildWindow();
    connectSetupHandlers();
    connectDownloadHandlers();
    loadWindow(std::move(dataDir));
    refreshPortStatus();
}

MainWindow::~MainWindow() {
    // The pump outlives the window: its ticks must not reach a destroyed one.
    if (m_pump != nullptr) {
        m_pump->SetTickHandler({});
    }
}

void MainWindow::buildWindow() {
    m_SSTab1 = new QTabWidget;
    m_SSTab1->setObjectName(QStringLiteral("SSTab1"));
    m_SSTab1->addTab(buildSpecifyTab(m_specify), QStringLiteral("Specify Macros"));
    m_SSTab1->addTab(buildReadBackTab(m_readBack), QStringLiteral("Read back"));
    m_SSTab1->addTab(buildDownloadTab(m_download), QStringLiteral("Down Load"));
    m_SSTab1->addTab(buildSetupTab(m_setup), QStringLiteral("Setup"));
    m_SSTab1->setCurrentIndex(kReadBackTabIndex);

    m_exitcmd = new QPushButton(QStringLiteral("Exit"));
    m_exitcmd->setObjectName(QStringLiteral("exitcmd"));
    m_helpcmd = new QPushButton(QStringLiteral("Help"));
    m_helpcmd->setObjectName(QStringLiteral("helpcmd"));
    m_helpcmd->setToolTip(QStringLiteral("Click to view command descriptions"));
    // Exit closes the window like its close box: a running operation is
    // cancelled first and the window goes when it has ended.
    connect(m_exitcmd, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_helpcmd);
    buttons->addWidget(m_exitcmd);
    // The port state, so that a port that could not be opened is visible.
    m_statusBar = new QStatusBar;
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setSizeGripEnabled(false);
    m_portStatus = new QLabel;
    m_portStatus->setObjectName(QStringLiteral("PortStatus"));
    m_statusBar->addWidget(m_portStatus, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_SSTab1, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_statusBar);
}

void MainWindow::InitializePort() {
    if (m_initializePort) {
        m_initializePort();
    }
}

void MainWindow::setInitializePort(std::function<void()> initializePort) {
    m_initializePort = std::move(initializePort);
}

void MainWindow::reportFailure(const base::Status& status) {
    if (!status && m_state.LoadedYet) {
        m_prompter->show(status.message(), base::Icon::Critical, base::Buttons::Ok);
    }
}

}  // namespace brindle::app
