#include "app/download_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/text_conversion.h"
#include "app/widget_clear_view.h"
#include "app/widget_download_view.h"
#include "app/widget_execute_view.h"
#include "app/widget_factory.h"
#include "app/widget_receive_view.h"
#include "download/transfer.h"
#include "library/download_selection.h"
#include "link/receive_window.h"
#include "utilities/clear_eprom.h"
#include "utilities/execute_block.h"

namespace brindle::app {

DownloadTab::DownloadTab(OperationHost& host, StatusArgumentsHook statusArguments) : m_host(host) {
    buildWidgets();
    m_receiveView = std::make_unique<WidgetReceiveView>(List1, Check1);
    m_executeView = std::make_unique<WidgetExecuteView>(*this, statusArguments);
    m_downloadView =
        std::make_unique<WidgetDownloadView>(*this, m_host, std::move(statusArguments));
    m_clearView = std::make_unique<WidgetClearView>(*this);
    connectHandlers();
}

DownloadTab::~DownloadTab() = default;

link::ReceiveView& DownloadTab::receiveView() {
    return *m_receiveView;
}

QGroupBox* DownloadTab::buildProgressFrame() {
    ProgressFrame = named(new QGroupBox, "ProgressFrame");
    Label6 = named(new QLabel(QStringLiteral("Downloading")), "Label6");
    ProgressBar1 = named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    PercentCaption = named(new QLabel, "PercentCaption");
    MacroBytes = named(new QLabel, "MacroBytes");
    RetryLabel = named(new QLabel(QStringLiteral("Verifying.....")), "RetryLabel");
    CancelCmd = makeButton("CancelCmd", "Cancel");
    // The operations show these when they have something to report.
    MacroBytes->setVisible(false);
    RetryLabel->setVisible(false);

    auto* layout = new QGridLayout(ProgressFrame);
    layout->addWidget(Label6, 0, 0);
    layout->addWidget(MacroBytes, 0, 1);
    layout->addWidget(ProgressBar1, 1, 0, 1, 2);
    layout->addWidget(PercentCaption, 2, 0);
    layout->addWidget(RetryLabel, 2, 1);
    layout->addWidget(CancelCmd, 3, 0, 1, 2, Qt::AlignHCenter);
    ProgressFrame->setVisible(false);
    return ProgressFrame;
}

QGroupBox* DownloadTab::buildClearFrame() {
    const QString warning = QStringLiteral("Contact Technical Support before using this feature");
    ClearFrame = named(new QGroupBox(QStringLiteral("Clear Utility")), "ClearFrame");
    ClearFrame->setToolTip(warning);
    LowerFill = named(new QLineEdit(QStringLiteral("0")), "LowerFill");
    UpperFill = named(new QLineEdit(QStringLiteral("16")), "UpperFill");
    QueryResetCmd = makeButton("QueryResetCmd", "Ok", "Perform requested function");

    auto* layout = new QGridLayout(ClearFrame);
    layout->addWidget(new QLabel(QStringLiteral("Clear")), 0, 0, 1, 2);
    layout->addWidget(makeLabel("Start", LowerFill), 1, 0);
    layout->addWidget(makeLabel("End", UpperFill), 1, 1);
    layout->addWidget(LowerFill, 2, 0);
    layout->addWidget(UpperFill, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("E2prom Locations")), 3, 0, 1, 2);
    layout->addWidget(QueryResetCmd, 4, 0, 1, 2);
    ClearFrame->setVisible(false);
    return ClearFrame;
}

void DownloadTab::buildWidgets() {
    CustomList = named(new QComboBox, "CustomList");
    MacrosInCombination = named(new QListWidget, "MacrosInCombination");
    MacrosInCombination->setToolTip(QStringLiteral("Click on Macro to select it"));
    QuickCmd =
        makeButton("QuickCmd", "Download", "Click to download ALL Macros in Combination selected");
    ExecuteBlock = makeButton("ExecuteBlock", "Execute Block", "Execute Selected Macro");
    CancelExec = makeButton("CancelExec", "Cancel Exec", "Cancel Macro execution");
    Check1 = named(new QCheckBox(QStringLiteral("Receive Window Active")), "Check1");
    Check1->setToolTip(QStringLiteral("Leave unchecked to increase download speed"));
    List1 = named(new QListWidget, "List1");
    ClearHistory = makeButton("ClearHistory", "Clear Receive Window");
    TransposeToHex =
        named(new QCheckBox(QStringLiteral("Transpose Status Arguments from Decimal to Hex")),
              "TransposeToHex");

    auto* selection = new QVBoxLayout;
    selection->addWidget(makeLabel("Select Macro Combination", CustomList, "Label5"));
    selection->addWidget(CustomList);
    selection->addWidget(makeLabel("Macros in Combination", MacrosInCombination, "Label17"));
    selection->addWidget(MacrosInCombination, 1);
    auto* operations = new QHBoxLayout;
    operations->addWidget(QuickCmd);
    operations->addWidget(ExecuteBlock);
    operations->addWidget(CancelExec);
    selection->addLayout(operations);
    selection->addWidget(TransposeToHex);

    auto* receive = new QVBoxLayout;
    receive->addWidget(Check1);
    receive->addWidget(makeLabel("Receive Window", List1));
    receive->addWidget(List1, 1);
    receive->addWidget(ClearHistory);

    auto* frames = new QVBoxLayout;
    frames->addWidget(buildProgressFrame());
    frames->addWidget(buildClearFrame());
    frames->addStretch(1);
    // The progress frame keeps its place and the column its width, so the
    // lists and the clear utility do not move when a run starts or ends.
    QSizePolicy keep = ProgressFrame->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ProgressFrame->setSizePolicy(keep);
    const int columnWidth =
        fontMetrics().horizontalAdvance(QStringLiteral("Downloading Macro 255  29182 Bytes")) +
        4 * style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    ProgressFrame->setFixedWidth(columnWidth);
    ClearFrame->setFixedWidth(columnWidth);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(selection, 1);
    layout->addLayout(receive, 1);
    layout->addLayout(frames);
}

void DownloadTab::connectHandlers() {
    connect(CustomList, &QComboBox::activated, this,
            [this](int index) { onCustomListActivated(index); });
    connect(QuickCmd, &QPushButton::clicked, this, [this] { onQuickCmdClicked(); });
    connect(CancelCmd, &QPushButton::clicked, this, [this] { onCancelCmdClicked(); });
    connect(ExecuteBlock, &QPushButton::clicked, this, [this] { onExecuteBlockClicked(); });
    connect(CancelExec, &QPushButton::clicked, this, [this] { onCancelExecClicked(); });
    connect(QueryResetCmd, &QPushButton::clicked, this, [this] { onQueryResetCmdClicked(); });
    // Every change of the value counts, as a click does.
    connect(Check1, &QCheckBox::toggled, this, [this](bool checked) { onCheck1Toggled(checked); });
    connect(ClearHistory, &QPushButton::clicked, this, [this] { onClearHistoryClicked(); });
}

void DownloadTab::listCombinations(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        CustomList->addItem(toQt(name));
    }
    // Filling the list must not choose an entry.
    CustomList->setCurrentIndex(-1);
}

void DownloadTab::addCombination(const std::string& name) {
    const int chosen = CustomList->currentIndex();
    CustomList->addItem(toQt(name));
    CustomList->setCurrentIndex(chosen);
}

void DownloadTab::removeCombinationsNamed(const std::string& name) {
    for (int i = CustomList->count() - 1; i >= 0; --i) {
        if (fromQt(CustomList->itemText(i)) == name) {
            CustomList->removeItem(i);
        }
    }
}

void DownloadTab::onCustomListActivated(int index) {
    std::vector<std::string> names;
    for (int i = 0; i < CustomList->count(); ++i) {
        names.push_back(fromQt(CustomList->itemText(i)));
    }
    const auto listing = library::chooseCombinationForDownload(m_host.state(), names, index);
    if (index >= 0) {
        MacrosInCombination->setEnabled(true);
    }
    if (!listing) {
        return;  // nothing chosen or not found: the list keeps what it showed
    }
    MacrosInCombination->clear();
    for (const std::string& line : listing->lines) {
        MacrosInCombination->addItem(toQt(line));
    }
    MacrosInCombination->setCurrentRow(listing->selectedIndex);
}

void DownloadTab::onQuickCmdClicked() {
    m_host.runOperation([this](link::LinkContext& ctx) {
        download::runDownload(ctx, *m_downloadView, m_host.prompter());
    });
}

void DownloadTab::onExecuteBlockClicked() {
    m_host.runOperation([this](link::LinkContext& ctx) {
        utilities::runExecuteBlock(ctx, *m_executeView, m_host.prompter());
    });
}

void DownloadTab::onCancelExecClicked() {
    m_host.runOperation([this](link::LinkContext& ctx) {
        utilities::runCancelExec(ctx, *m_executeView, m_host.prompter());
    });
}

void DownloadTab::onQueryResetCmdClicked() {
    m_host.runOperation([this](link::LinkContext& ctx) {
        utilities::runClearUtility(ctx, *m_clearView, m_host.prompter(), fromQt(LowerFill->text()),
                                   fromQt(UpperFill->text()));
    });
}

void DownloadTab::showClearFrame(bool visible) {
    ClearFrame->setVisible(visible);
}

void DownloadTab::onCancelCmdClicked() {
    download::requestCancel(m_host.state());
}

void DownloadTab::onCheck1Toggled(bool checked) {
    // Without a timer nothing drains the port; the box alone is what the
    // operations read.
    if (link::Pump* pump = m_host.pump()) {
        link::switchReceiveWindow(m_host.state(), *pump, *m_receiveView, checked);
    }
}

void DownloadTab::onClearHistoryClicked() {
    link::clearReceiveWindow(m_host.state(), *m_receiveView);
}

}  // namespace brindle::app
