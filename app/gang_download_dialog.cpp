#include "app/gang_download_dialog.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/text_conversion.h"
#include "app/widget_factory.h"
#include "link/initialize_port.h"
#include "link/qt/qt_line_rig.h"
#include "link/qt/system_ports.h"
#include "link/sync_with_module.h"
#include "state/eeprom_layout.h"

namespace brindle::app {
namespace {

enum Column { PortColumn, ProgressColumn, ResultColumn };

}  // namespace

GangDownloadDialog::GangDownloadDialog(const std::string& combination,
                                       const std::vector<std::string>& ports, GangMaker makeGang,
                                       QWidget* parent)
    : QDialog(parent), m_makeGang(std::move(makeGang)) {
    setWindowTitle(QStringLiteral("Download to several ports"));
    GangPorts = new QListWidget;
    GangPorts->setObjectName(QStringLiteral("GangPorts"));
    for (const std::string& port : ports) {
        auto* item = new QListWidgetItem(toQt(port), GangPorts);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    GangStart =
        makeButton("GangStart", "&Download", "Download the combination to every port ticked");
    GangTable = new QTableWidget(0, 3);
    GangTable->setObjectName(QStringLiteral("GangTable"));
    GangTable->setHorizontalHeaderLabels(
        {QStringLiteral("Port"), QStringLiteral("Progress"), QStringLiteral("Result")});
    GangTable->horizontalHeader()->setStretchLastSection(true);
    GangTable->verticalHeader()->hide();
    GangTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GangTable->hide();
    GangCancel = makeButton("GangCancel", "&Cancel", "Stop every port now");
    GangCancel->hide();
    GangClose = makeButton("GangClose", "C&lose", nullptr);
    GangSummary = new QLabel(toQt("Combination: " + combination));
    GangSummary->setObjectName(QStringLiteral("GangSummary"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GangSummary);
    layout->addWidget(GangPorts, 1);
    layout->addWidget(GangTable, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(GangStart);
    buttons->addWidget(GangCancel);
    buttons->addStretch(1);
    buttons->addWidget(GangClose);
    layout->addLayout(buttons);

    // Room for a by-id device name and a failure's reason without scrolling.
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 110, metrics.height() * 18);
    GangTable->setColumnWidth(0, metrics.averageCharWidth() * 36);
    GangTable->setWordWrap(true);

    connect(GangStart, &QPushButton::clicked, this, [this] { onGangStartClicked(); });
    connect(GangCancel, &QPushButton::clicked, this, [this] { onGangCancelClicked(); });
    connect(GangClose, &QPushButton::clicked, this, [this] { reject(); });
}

GangDownloadDialog::~GangDownloadDialog() {
    if (m_gang) {
        m_gang->cancelAll();
        m_gang->wait();
    }
}

void GangDownloadDialog::onGangStartClicked() {
    std::vector<std::string> chosen;
    for (int i = 0; i < GangPorts->count(); ++i) {
        if (GangPorts->item(i)->checkState() == Qt::Checked) {
            chosen.push_back(fromQt(GangPorts->item(i)->text()));
        }
    }
    if (chosen.empty()) {
        GangSummary->setText(QStringLiteral("Tick the ports to download to."));
        return;
    }
    m_gang = m_makeGang(chosen);
    if (!m_gang) {
        return;
    }
    GangTable->setRowCount(static_cast<int>(chosen.size()));
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const int row = static_cast<int>(i);
        GangTable->setItem(row, PortColumn, new QTableWidgetItem(toQt(chosen[i])));
        auto* bar = new QProgressBar;
        bar->setObjectName(QStringLiteral("GangBar%1").arg(row));
        bar->setRange(0, 100);
        bar->setValue(0);
        GangTable->setCellWidget(row, ProgressColumn, bar);
        m_bars.push_back(bar);
        GangTable->setItem(row, ResultColumn, new QTableWidgetItem);
    }
    GangPorts->hide();
    GangStart->hide();
    GangTable->show();
    GangCancel->show();
    GangClose->setEnabled(false);
    // Lines tell of changes from their own threads; the table is drawn here.
    m_gang->start([this] {
        QMetaObject::invokeMethod(
            this, [this] { refresh(); }, Qt::QueuedConnection);
    });
}

void GangDownloadDialog::onGangCancelClicked() {
    if (m_gang) {
        m_gang->cancelAll();
        GangCancel->setEnabled(false);
    }
}

void GangDownloadDialog::refresh() {
    if (!m_gang || m_resultsShown) {
        return;
    }
    const std::vector<download::GangLineProgress> progress = m_gang->takeProgress();
    for (std::size_t i = 0; i < progress.size() && i < m_bars.size(); ++i) {
        const download::OverallProgress& p = progress[i].overall;
        m_bars[i]->setValue(p.bytesTotal > 0 ? 100 * p.bytesWritten / p.bytesTotal : 0);
        if (!progress[i].ended) {
            GangTable->item(static_cast<int>(i), ResultColumn)->setText(toQt(progress[i].status));
        }
    }
    if (m_gang->finished()) {
        showResults();
    }
}

void GangDownloadDialog::waitForGang() {
    if (m_gang) {
        m_gang->wait();
        refresh();
    }
}

void GangDownloadDialog::showResults() {
    const std::vector<download::GangLineResult> results = m_gang->wait();
    for (std::size_t i = 0; i < results.size(); ++i) {
        std::string message = results[i].message;
        std::replace(message.begin(), message.end(), '\n', ' ');
        QTableWidgetItem* result = GangTable->item(static_cast<int>(i), ResultColumn);
        result->setText(toQt(message));
        result->setToolTip(toQt(message));
    }
    GangTable->resizeRowsToContents();
    m_resultsShown = true;
    GangCancel->setEnabled(false);
    GangClose->setEnabled(true);
}

void GangDownloadDialog::reject() {
    // Esc (or closing) while the lines run is Cancel, as in the main window:
    // the dialog stays until every line has ended and shows the results.
    if (m_gang && !m_resultsShown) {
        onGangCancelClicked();
        return;
    }
    QDialog::reject();
}

void openGangDownload(QWidget* parent, OperationHost& host,
                      const std::optional<std::string>& combination, int combinationCount) {
    state::MainState& window = host.state();
    if (!combination) {
        host.prompter().show(combinationCount > 0 ? "A macro combination has not been selected."
                                                  : "No macro combinations have yet been created.",
                             base::Icon::Critical, base::Buttons::Ok);
        return;
    }
    const download::PlanResult planned =
        download::planDownload(window.DataDir, *combination, state::kMacroArea);
    if (!planned || !*planned) {
        host.prompter().show(!planned ? planned.message() : "A download failure occurred",
                             base::Icon::Critical, base::Buttons::Ok);
        return;
    }
    // The devices Com1 to Com4 stand for (a USB adapter's by-id name, a
    // simulator's link) come first, then the system's other ports.
    std::vector<std::string> ports;
    const auto offer = [&ports](const std::string& device) {
        std::error_code error;
        if (!device.empty() && std::filesystem::exists(device, error) &&
            std::find(ports.begin(), ports.end(), device) == ports.end()) {
            ports.push_back(device);
        }
    };
    for (int16_t com = 1; com <= 4; ++com) {
        offer(
            link::comSettings(com, window.ConfigRecord.BaudRate, window.DataDir, window.ComChoices)
                .device);
    }
    for (const link::SerialPortEntry& entry : link::qt::systemSerialPorts()) {
        offer(entry.device);
    }
    const download::DownloadPlan plan = **planned;
    const int tickMs = host.pump() ? host.pump()->interval() : 55;
    const state::MainState copy = window;
    GangDownloadDialog dialog(
        *combination, ports,
        [copy, plan, tickMs](const std::vector<std::string>& chosen) {
            return std::make_unique<download::GangDownload>(
                chosen, copy, plan,
                [copy, chosen, tickMs](std::size_t i, link::SharedSignals& shared,
                                       download::DownloadView& view, link::ReceiveView& receive) {
                    const link::LinkSettings settings{copy.ConfigRecord.PortNumber,
                                                      copy.ConfigRecord.BaudRate, chosen[i]};
                    return std::make_unique<link::qt::QtLineRig>(
                        settings, tickMs, link::kWakeUpLimit, shared, view, receive);
                });
        },
        parent);
    link::LinkContext* line = host.link();
    if (line == nullptr) {
        dialog.exec();
        return;
    }
    // The window's own line lets go of its device for as long as the dialog
    // is open: a gang line on the same device would otherwise find it in use
    // (by this very program). Another program talks to the controller
    // meanwhile, so the next operation wakes it and synchronises again; it,
    // or the receive window, opens the device again.
    host.runOperation([&dialog](link::LinkContext& ctx) {
        ctx.port.setPortOpen(false);
        ctx.StartComm = false;
        ctx.Synched_Up = false;
        dialog.exec();
    });
}

}  // namespace brindle::app
