#include "app/download_tab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/elided_label.h"
#include "app/fixed_width_font.h"
#include "app/gang_download_dialog.h"
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
    Label6 = named(new ElidedLabel, "Label6");
    Label6->setText(QStringLiteral("Downloading"));
    ProgressBar1 = named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    PercentCaption = named(new ElidedLabel, "PercentCaption");
    MacroBytes = named(new ElidedLabel, "MacroBytes");
    MacroBytes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RetryLabel = named(new QLabel(QStringLiteral("Verifying.....")), "RetryLabel");
    CancelCmd = makeButton("CancelCmd", "&Cancel", "Stop the run now (Esc)");
    // The operations show these when they have something to report.
    MacroBytes->setVisible(false);
    RetryLabel->setVisible(false);
    // Every part keeps its room while hidden and the captions take the width
    // they are given, so nothing in the frame moves while a run shows,
    // hides or rewrites them.
    for (QWidget* part : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(ProgressBar1),
                          static_cast<QWidget*>(PercentCaption), static_cast<QWidget*>(MacroBytes),
                          static_cast<QWidget*>(RetryLabel), static_cast<QWidget*>(CancelCmd)}) {
        keepRoomWhenHidden(part);
    }

    auto* layout = new QGridLayout(ProgressFrame);
    layout->addWidget(Label6, 0, 0, 1, 2);
    layout->addWidget(ProgressBar1, 1, 0, 1, 2);
    layout->addWidget(PercentCaption, 2, 0);
    layout->addWidget(MacroBytes, 2, 1);
    layout->addWidget(RetryLabel, 3, 0, 1, 2);
    layout->addWidget(CancelCmd, 4, 0, 1, 2, Qt::AlignHCenter);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    keepRoomWhenHidden(ProgressFrame);
    ProgressFrame->installEventFilter(this);
    ProgressFrame->setVisible(false);
    return ProgressFrame;
}

QGroupBox* DownloadTab::buildClearFrame() {
    const QString warning = QStringLiteral("Contact Technical Support before using this feature");
    ClearFrame = named(new QGroupBox(QStringLiteral("Clear Utility")), "ClearFrame");
    ClearFrame->setToolTip(warning);
    LowerFill = named(new QLineEdit(QStringLiteral("0")), "LowerFill");
    UpperFill = named(new QLineEdit(QStringLiteral("16")), "UpperFill");
    QueryResetCmd = makeButton("QueryResetCmd", "&Ok", "Perform requested function");

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

// The frames' column is as wide as the widest caption a run can show, so no
// caption is cut and nothing moves when the captions change.
void DownloadTab::fixFrameColumnWidth() {
    const QFontMetrics metrics = Label6->fontMetrics();
    int status = 0;
    for (const char* caption : {"Downloading Macro 255", "Cancelling block execution",
                                "Executing block 255", "Clearing ..", "Downloading.."}) {
        status = std::max(status, metrics.horizontalAdvance(QString::fromLatin1(caption)));
    }
    Label6->setMinimumWidth(status);
    int figures = 0;
    for (const char* caption : {"    100 % Complete", "29182 Bytes"}) {
        figures = std::max(figures, metrics.horizontalAdvance(QString::fromLatin1(caption)));
    }
    PercentCaption->setMinimumWidth(figures);
    MacroBytes->setMinimumWidth(figures);
    const int width =
        std::max(ProgressFrame->minimumSizeHint().width(), ClearFrame->minimumSizeHint().width());
    ProgressFrame->setFixedWidth(width);
    ClearFrame->setFixedWidth(width);
}

void DownloadTab::buildWidgets() {
    CustomList = named(new QComboBox, "CustomList");
    MacrosInCombination = named(new QListWidget, "MacrosInCombination");
    MacrosInCombination->setToolTip(QStringLiteral("Click on Macro to select it"));
    // Fixed width, so that the position fields of the lines line up.
    useFixedWidthFont(MacrosInCombination);
    QuickCmd =
        makeButton("QuickCmd", "&Download", "Click to download ALL Macros in Combination selected");
    ExecuteBlock = makeButton("ExecuteBlock", "&Execute Block", "Execute Selected Macro");
    CancelExec = makeButton("CancelExec", "Ca&ncel Exec", "Cancel Macro execution");
    GangDownload =
        makeButton("GangDownload", "Download to se&veral ports...",
                   "Download the combination selected into several Macro Modules at once");
    Check1 = named(new QCheckBox(QStringLiteral("Receive &Window Active")), "Check1");
    Check1->setToolTip(QStringLiteral("Leave unchecked to increase download speed"));
    List1 = named(new QListWidget, "List1");
    useFixedWidthFont(List1);
    ClearHistory = makeButton("ClearHistory", "C&lear Receive Window",
                              "Remove every line from the receive window");
    TransposeToHex =
        named(new QCheckBox(QStringLiteral("&Transpose Status Arguments from Decimal to Hex")),
              "TransposeToHex");
    TransposeToHex->setToolTip(
        QStringLiteral("Every download converts status arguments to hexadecimal; this box "
                       "changes nothing"));

    auto* selection = new QVBoxLayout;
    selection->addWidget(makeLabel("Select Macro Combination", CustomList, "Label5"));
    selection->addWidget(CustomList);
    selection->addWidget(makeLabel("Macros in Combination", MacrosInCombination, "Label17"));
    selection->addWidget(MacrosInCombination, 1);
    auto* operations = new QHBoxLayout;
    operations->addWidget(QuickCmd);
    operations->addWidget(ExecuteBlock);
    operations->addWidget(CancelExec);
    operations->addWidget(GangDownload);
    selection->addLayout(operations);
    selection->addWidget(TransposeToHex);

    auto* receive = new QVBoxLayout;
    receive->addWidget(Check1);
    receive->addWidget(makeLabel("Receive Window", List1));
    receive->addWidget(List1, 1);
    receive->addWidget(ClearHistory);

    // The progress frame keeps its place while hidden, so the lists and the
    // clear utility do not move when a run starts or ends.
    auto* frames = new QVBoxLayout;
    frames->addWidget(buildProgressFrame());
    frames->addWidget(buildClearFrame());
    frames->addStretch(1);
    fixFrameColumnWidth();

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
    connect(GangDownload, &QPushButton::clicked, this, [this] {
        openGangDownload(this, m_host,
                         CustomList->currentIndex() >= 0
                             ? std::optional(fromQt(CustomList->currentText()))
                             : std::nullopt,
                         CustomList->count());
    });
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
    std::vector<std::string> names;
    for (int i = 0; i < CustomList->count(); ++i) {
        names.push_back(fromQt(CustomList->itemText(i)));
    }
    const int chosen = library::chosenAfterRemoval(names, CustomList->currentIndex(), name);
    for (int i = CustomList->count() - 1; i >= 0; --i) {
        if (names[static_cast<std::size_t>(i)] == name) {
            CustomList->removeItem(i);
        }
    }
    CustomList->setCurrentIndex(chosen);
    if (chosen < 0) {
        // The chosen combination is gone: nothing is chosen and nothing of it
        // is listed, so Download and Execute Block have nothing to act on.
        MacrosInCombination->clear();
        m_host.state().NotifyExecute = false;
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
    // The choice is planned before the run, from the list itself.
    const std::optional<std::string> chosen = CustomList->currentIndex() >= 0
                                                  ? std::optional(fromQt(CustomList->currentText()))
                                                  : std::nullopt;
    const download::DownloadRequest request =
        download::downloadRequest(m_host.state(), chosen, CustomList->count());
    runFromButton(QuickCmd, [this, &request](link::LinkContext& ctx) {
        download::runDownload(ctx, m_host.state(), *m_downloadView, m_host.prompter(), request);
    });
}

void DownloadTab::onExecuteBlockClicked() {
    runFromButton(ExecuteBlock, [this](link::LinkContext& ctx) {
        utilities::runExecuteBlock(ctx, m_host.state(), *m_executeView, m_host.prompter());
    });
}

void DownloadTab::onCancelExecClicked() {
    runFromButton(CancelExec, [this](link::LinkContext& ctx) {
        utilities::runCancelExec(ctx, m_host.state().DataDir, *m_executeView, m_host.prompter());
    });
}

void DownloadTab::onQueryResetCmdClicked() {
    runFromButton(QueryResetCmd, [this](link::LinkContext& ctx) {
        utilities::runClearUtility(ctx, m_host.state(), *m_clearView, m_host.prompter(),
                                   fromQt(LowerFill->text()), fromQt(UpperFill->text()));
    });
}

// A run disables the button that started it, and Qt would pass the focus on
// to the next control, a check box or a control of the next frame, where a
// key press would change it. The focus waits on the tab itself instead, on
// Cancel while the progress frame offers it, and comes back to the button.
void DownloadTab::runFromButton(QPushButton* button, const OperationHost::Operation& operation) {
    const QWidget* focus = window()->focusWidget();
    const bool parked = focus != nullptr && isAncestorOf(focus);
    if (parked) {
        setFocus(Qt::OtherFocusReason);
    }
    m_host.runOperation(operation);
    focus = window()->focusWidget();
    if (parked && (focus == nullptr || focus == this)) {
        button->setFocus(Qt::OtherFocusReason);
    }
}

void DownloadTab::showProgressFrame(bool visible) {
    const QWidget* focus = window()->focusWidget();
    if (!visible && focus != nullptr && ProgressFrame->isAncestorOf(focus)) {
        setFocus(Qt::OtherFocusReason);
    }
    ProgressFrame->setVisible(visible);
    if (visible && focus == this) {
        CancelCmd->setFocus(Qt::OtherFocusReason);
    }
}

bool DownloadTab::pressCancel() {
    if (ProgressFrame->isHidden() || !CancelCmd->isEnabled()) {
        return false;
    }
    CancelCmd->click();
    return true;
}

// A hidden frame does not tell the column that its parts now need another
// size (they do once the style has polished them), and the room it keeps
// would be the size of its unpolished parts until it first shows.
bool DownloadTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ProgressFrame && event->type() == QEvent::LayoutRequest &&
        ProgressFrame->isHidden()) {
        ProgressFrame->updateGeometry();
    }
    return QWidget::eventFilter(watched, event);
}

void DownloadTab::showClearFrame(bool visible) {
    ClearFrame->setVisible(visible);
}

void DownloadTab::onCancelCmdClicked() {
    if (link::LinkContext* ctx = m_host.link()) {
        download::requestCancel(*ctx);
    }
}

void DownloadTab::onCheck1Toggled(bool checked) {
    // Without a timer nothing drains the port; the box alone is what the
    // operations read.
    if (link::LinkContext* ctx = m_host.link()) {
        link::switchReceiveWindow(ctx->shared, ctx->lines, ctx->pump, checked);
    }
}

void DownloadTab::onClearHistoryClicked() {
    if (link::LinkContext* ctx = m_host.link()) {
        link::clearReceiveWindow(ctx->lines, *m_receiveView);
    } else {
        m_receiveView->clearReceivedLines();
    }
}

}  // namespace brindle::app
