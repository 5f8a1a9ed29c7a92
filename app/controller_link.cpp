// The window's side of the controller link: Timer1 on the attached pump, the
// receive window, the port state in the status bar, and the Down Load tab's
// combination choice, Download and Cancel. Everything runs on the GUI thread;
// an operation yields through the pump, so clicks (Cancel above all) are
// handled while it runs.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/text_conversion.h"
#include "app/widget_download_view.h"
#include "app/widget_receive_view.h"
#include "download/transfer.h"
#include "library/download_selection.h"
#include "link/initialize_port.h"
#include "link/receive_window.h"

namespace brindle::app {

void MainWindow::connectDownloadHandlers() {
    m_receiveView = std::make_unique<WidgetReceiveView>(m_download.List1, m_download.Check1);
    m_downloadView = std::make_unique<WidgetDownloadView>(m_download, m_readBack);

    connect(m_download.CustomList, &QComboBox::activated, this,
            [this](int index) { CustomList_Click(index); });
    connect(m_download.QuickCmd, &QPushButton::clicked, this, [this] { QuickCmd_Click(); });
    connect(m_download.CancelCmd, &QPushButton::clicked, this, [this] { CancelCmd_Click(); });
    // Every change of the value counts, as a click does.
    connect(m_download.Check1, &QCheckBox::toggled, this,
            [this](bool checked) { Check1_Click(checked); });
    connect(m_download.ClearHistory, &QPushButton::clicked, this, [this] { ClearHistory_Click(); });
}

void MainWindow::attachLink(link::Port& port, link::Pump& pump) {
    if (m_operationRunning) {
        return;  // the running operation holds the old context
    }
    m_port = &port;
    m_pump = &pump;
    m_link = std::make_unique<link::LinkContext>(
        link::LinkContext{m_state, port, pump, *m_receiveView, *m_downloadView});
    pump.SetTickHandler([this] { Timer1_Timer(); });
    pump.SetLineSpeed(m_state.ConfigRecord.BaudRate);
    pump.SetInterval(link::kStartIntervalMs);
    setInitializePort([this] {
        link::InitializePort(*m_link);
        refreshPortStatus();
    });
    refreshPortStatus();
}

bool MainWindow::runOperation(const std::function<void(link::LinkContext&)>& operation) {
    if (m_operationRunning) {
        return false;
    }
    if (!m_link) {
        m_prompter->show(kNoPortMessage, base::Icon::Critical, base::Buttons::Ok);
        return false;
    }
    m_operationRunning = true;
    try {
        operation(*m_link);
    } catch (...) {
        m_operationRunning = false;
        throw;
    }
    m_operationRunning = false;
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
    } else if (!m_state.StartComm) {
        // The port opens with the first controller operation, never at start-up.
        text = "Com" + std::to_string(m_state.ConfigRecord.PortNumber) +
               ": not opened yet (the first controller operation opens it)";
    } else {
        text = m_port->describe();
    }
    m_portStatus->setText(toQt(text));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_operationRunning) {
        m_state.CancelFlag = true;
        m_closeRequested = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MainWindow::Timer1_Timer() {
    const bool started = m_state.StartComm;
    link::Timer1Tick(m_state, *m_port, *m_pump, *m_receiveView);
    // The first tick with the receive window active opens the port.
    if (!started && m_state.StartComm) {
        refreshPortStatus();
    }
}

void MainWindow::CustomList_Click(int index) {
    std::vector<std::string> comboListEntries;
    for (int i = 0; i < m_specify.ComboList->count(); ++i) {
        comboListEntries.push_back(fromQt(m_specify.ComboList->itemText(i)));
    }
    const auto listing = library::CustomListClick(m_state, comboListEntries, index);
    if (index >= 0) {
        m_download.MacrosInCombination->setEnabled(true);
    }
    if (!listing) {
        return;  // nothing chosen or not found: the list keeps what it showed
    }
    QListWidget* list = m_download.MacrosInCombination;
    list->clear();
    for (const std::string& line : listing->lines) {
        list->addItem(toQt(line));
    }
    list->setCurrentRow(listing->selectedIndex);
}

void MainWindow::QuickCmd_Click() {
    runOperation([this](link::LinkContext& ctx) {
        download::QuickCmdClick(ctx, *m_downloadView, *m_prompter);
    });
}

void MainWindow::CancelCmd_Click() {
    download::CancelCmdClick(m_state);
}

void MainWindow::Check1_Click(bool checked) {
    // Without a pump there is no timer to drain the port; the box alone is
    // what viewbuffer reads.
    if (m_pump != nullptr) {
        link::Check1Click(m_state, *m_pump, *m_receiveView, checked);
    }
}

void MainWindow::ClearHistory_Click() {
    link::ClearHistoryClick(m_state, *m_receiveView);
}

}  // namespace brindle::app
