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
#include <QSettings>
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
#include "contents/changed_download.h"
#include "download/transfer.h"
#include "library/download_selection.h"
#include "link/percent_caption.h"
#include "link/receive_window.h"
#include "utilities/clear_eprom.h"
#include "utilities/execute_block.h"

namespace brindle::app {

namespace {

constexpr const char* kWriteChangedOnlyKey = "download/writeChangedOnly";

// A changed-only run's messages come after its progress frame has gone, as
// the whole download's do: the frame shows from the first read on, and the
// run itself hides it only after writing.
class FrameHidingPrompter : public base::Prompter {
  public:
    FrameHidingPrompter(base::Prompter& shown, download::DownloadView& view)
        : m_shown(shown), m_view(view) {}
    base::Answer show(const std::string& text, base::Icon icon, base::Buttons buttons,
                      const std::string& title) override {
        m_view.showProgressFrame(false);
        return m_shown.show(text, icon, buttons, title);
    }

  private:
    base::Prompter& m_shown;
    download::DownloadView& m_view;
};

}  // namespace

DownloadTab::DownloadTab(OperationHost& host, StatusArgumentsHook statusArguments) : m_host(host) {
    buildWidgets();
    m_receiveView = std::make_unique<WidgetReceiveView>(receiveWindowLines);
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
    progressStatusLine = named(new ElidedLabel, "Label6");
    progressStatusLine->setText(QStringLiteral("Downloading"));
    progressBar = named(new QProgressBar, "ProgressBar1");
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    PercentCaption = named(new ElidedLabel, "PercentCaption");
    MacroBytes = named(new ElidedLabel, "MacroBytes");
    MacroBytes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RetryLabel = named(new QLabel(QStringLiteral("Verifying.....")), "RetryLabel");
    progressCancelButton = makeButton("CancelCmd", "&Cancel", "Stop the run now (Esc)");
    // The operations show these when they have something to report.
    MacroBytes->setVisible(false);
    RetryLabel->setVisible(false);
    // Every part keeps its room while hidden and the captions take the width
    // they are given, so nothing in the frame moves while a run shows,
    // hides or rewrites them.
    for (QWidget* part :
         {static_cast<QWidget*>(progressStatusLine), static_cast<QWidget*>(progressBar),
          static_cast<QWidget*>(PercentCaption), static_cast<QWidget*>(MacroBytes),
          static_cast<QWidget*>(RetryLabel), static_cast<QWidget*>(progressCancelButton)}) {
        keepRoomWhenHidden(part);
    }

    auto* layout = new QGridLayout(ProgressFrame);
    layout->addWidget(progressStatusLine, 0, 0, 1, 2);
    layout->addWidget(progressBar, 1, 0, 1, 2);
    layout->addWidget(PercentCaption, 2, 0);
    layout->addWidget(MacroBytes, 2, 1);
    layout->addWidget(RetryLabel, 3, 0, 1, 2);
    layout->addWidget(progressCancelButton, 4, 0, 1, 2, Qt::AlignHCenter);
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
    clearEpromButton = makeButton("QueryResetCmd", "&Ok", "Perform requested function");

    auto* layout = new QGridLayout(ClearFrame);
    layout->addWidget(new QLabel(QStringLiteral("Clear")), 0, 0, 1, 2);
    layout->addWidget(makeLabel("Start", LowerFill), 1, 0);
    layout->addWidget(makeLabel("End", UpperFill), 1, 1);
    layout->addWidget(LowerFill, 2, 0);
    layout->addWidget(UpperFill, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("E2prom Locations")), 3, 0, 1, 2);
    layout->addWidget(clearEpromButton, 4, 0, 1, 2);
    ClearFrame->setVisible(false);
    return ClearFrame;
}

// The frames' column is as wide as the widest caption a run can show, so no
// caption is cut and nothing moves when the captions change.
void DownloadTab::fixFrameColumnWidth() {
    const QFontMetrics metrics = progressStatusLine->fontMetrics();
    int status = 0;
    for (const char* caption : {"Downloading Macro 255", "Cancelling block execution",
                                "Executing block 255", "Clearing ..", "Downloading..",
                                "Reading the Macro Module..", "Downloading changed bytes.."}) {
        status = std::max(status, metrics.horizontalAdvance(QString::fromLatin1(caption)));
    }
    progressStatusLine->setMinimumWidth(status);
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
    combinationChoice = named(new QComboBox, "CustomList");
    MacrosInCombination = named(new QListWidget, "MacrosInCombination");
    MacrosInCombination->setToolTip(QStringLiteral("Click on Macro to select it"));
    // Fixed width, so that the position fields of the lines line up.
    useFixedWidthFont(MacrosInCombination);
    downloadButton =
        makeButton("QuickCmd", "&Download", "Click to download ALL Macros in Combination selected");
    ExecuteBlock = makeButton("ExecuteBlock", "&Execute Block", "Execute Selected Macro");
    CancelExec = makeButton("CancelExec", "Ca&ncel Exec", "Cancel Macro execution");
    gangDownloadButton =
        makeButton("GangDownload", "Download to se&veral ports...",
                   "Download the combination selected into several Macro Modules at once");
    writeChangedOnlyBox =
        named(new QCheckBox(QStringLiteral("Write changed &bytes only")), "WriteChangedOnly");
    writeChangedOnlyBox->setToolTip(
        QStringLiteral("Download reads the Macro Module first and writes only the bytes that "
                       "differ; a module without a complete download gets the whole download"));
    receiveWindowActive = named(new QCheckBox(QStringLiteral("Receive &Window Active")), "Check1");
    receiveWindowActive->setToolTip(QStringLiteral("Leave unchecked to increase download speed"));
    receiveWindowLines = named(new QListWidget, "List1");
    useFixedWidthFont(receiveWindowLines);
    ClearHistory = makeButton("ClearHistory", "C&lear Receive Window",
                              "Remove every line from the receive window");
    TransposeToHex =
        named(new QCheckBox(QStringLiteral("&Transpose Status Arguments from Decimal to Hex")),
              "TransposeToHex");
    TransposeToHex->setToolTip(
        QStringLiteral("Every download converts status arguments to hexadecimal; this box "
                       "changes nothing"));

    auto* selection = new QVBoxLayout;
    selection->addWidget(makeLabel("Select Macro Combination", combinationChoice, "Label5"));
    selection->addWidget(combinationChoice);
    selection->addWidget(makeLabel("Macros in Combination", MacrosInCombination, "Label17"));
    selection->addWidget(MacrosInCombination, 1);
    // Right above Download: the list gives up the row, and the buttons and
    // the boxes under them keep their places.
    selection->addWidget(writeChangedOnlyBox);
    auto* operations = new QHBoxLayout;
    operations->addWidget(downloadButton);
    operations->addWidget(ExecuteBlock);
    operations->addWidget(CancelExec);
    operations->addWidget(gangDownloadButton);
    selection->addLayout(operations);
    selection->addWidget(TransposeToHex);

    auto* receive = new QVBoxLayout;
    receive->addWidget(receiveWindowActive);
    receive->addWidget(makeLabel("Receive Window", receiveWindowLines));
    receive->addWidget(receiveWindowLines, 1);
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
    connect(combinationChoice, &QComboBox::activated, this,
            [this](int index) { onCustomListActivated(index); });
    connect(downloadButton, &QPushButton::clicked, this, [this] { onQuickCmdClicked(); });
    connect(progressCancelButton, &QPushButton::clicked, this, [this] { onCancelCmdClicked(); });
    connect(ExecuteBlock, &QPushButton::clicked, this, [this] { onExecuteBlockClicked(); });
    connect(CancelExec, &QPushButton::clicked, this, [this] { onCancelExecClicked(); });
    connect(gangDownloadButton, &QPushButton::clicked, this, [this] {
        // Its lines would compete with the run for the port.
        if (m_host.operationRunning()) {
            return;
        }
        openGangDownload(this, m_host,
                         combinationChoice->currentIndex() >= 0
                             ? std::optional(fromQt(combinationChoice->currentText()))
                             : std::nullopt,
                         combinationChoice->count());
    });
    connect(clearEpromButton, &QPushButton::clicked, this, [this] { onQueryResetCmdClicked(); });
    // Every change of the value counts, as a click does.
    connect(receiveWindowActive, &QCheckBox::toggled, this,
            [this](bool checked) { onCheck1Toggled(checked); });
    connect(ClearHistory, &QPushButton::clicked, this, [this] { onClearHistoryClicked(); });
}

void DownloadTab::listCombinations(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        combinationChoice->addItem(toQt(name));
    }
    // Filling the list must not choose an entry.
    combinationChoice->setCurrentIndex(-1);
}

void DownloadTab::addCombination(const std::string& name) {
    const int chosen = combinationChoice->currentIndex();
    combinationChoice->addItem(toQt(name));
    combinationChoice->setCurrentIndex(chosen);
}

void DownloadTab::removeCombinationsNamed(const std::string& name) {
    std::vector<std::string> names;
    for (int i = 0; i < combinationChoice->count(); ++i) {
        names.push_back(fromQt(combinationChoice->itemText(i)));
    }
    const int chosen = library::chosenAfterRemoval(names, combinationChoice->currentIndex(), name);
    for (int i = combinationChoice->count() - 1; i >= 0; --i) {
        if (names[static_cast<std::size_t>(i)] == name) {
            combinationChoice->removeItem(i);
        }
    }
    combinationChoice->setCurrentIndex(chosen);
    if (chosen < 0) {
        // The chosen combination is gone: nothing is chosen and nothing of it
        // is listed, so Download and Execute Block have nothing to act on.
        MacrosInCombination->clear();
        m_host.state().NotifyExecute = false;
    }
}

void DownloadTab::onCustomListActivated(int index) {
    std::vector<std::string> names;
    for (int i = 0; i < combinationChoice->count(); ++i) {
        names.push_back(fromQt(combinationChoice->itemText(i)));
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
    const std::optional<std::string> chosen =
        combinationChoice->currentIndex() >= 0
            ? std::optional(fromQt(combinationChoice->currentText()))
            : std::nullopt;
    const download::DownloadRequest request =
        download::downloadRequest(m_host.state(), chosen, combinationChoice->count());
    runFromButton(downloadButton, [this, &request](link::LinkContext& ctx) {
        if (writeChangedOnlyBox->isChecked()) {
            runChangedOnly(ctx, request);
        } else {
            download::runDownload(ctx, m_host.state(), *m_downloadView, m_host.prompter(), request);
        }
    });
}

// Nothing chosen, a program clear still pending, or a name the database no
// longer holds: that is the Download's own run, with its messages.
void DownloadTab::runChangedOnly(link::LinkContext& ctx, const download::DownloadRequest& request) {
    state::MainState& st = m_host.state();
    WidgetDownloadView& view = *m_downloadView;
    const bool planned = request.chosen && !st.QueryReset && request.plan && *request.plan;
    if (!planned) {
        download::runDownload(ctx, st, view, m_host.prompter(), request);
        return;
    }
    FrameHidingPrompter prompter(m_host.prompter(), view);
    // As every download does, and before the module is read: Cancel and
    // Esc stop the reading too.
    view.setConvertStatusArguments(true);
    // The last run's figures would stand for this one's until it writes.
    m_host.showOverallProgress("");
    view.setMacroSize("");
    view.setStatusLine("Reading the Macro Module..");
    view.showProgress(0);
    view.setPercentCaption(link::percentCaption(0, 5));
    view.showProgressFrame(true);
    contents::runChangedOnlyDownload(ctx, st, view, prompter, request);
    view.showProgressFrame(false);
}

void DownloadTab::rememberChoicesIn(QSettings* settings) {
    m_settings = settings;
    if (m_settings == nullptr) {
        return;
    }
    writeChangedOnlyBox->setChecked(
        m_settings->value(QString::fromLatin1(kWriteChangedOnlyKey), false).toBool());
    // Stored as soon as it changes, like the port choices.
    connect(writeChangedOnlyBox, &QCheckBox::toggled, this, [this](bool checked) {
        m_settings->setValue(QString::fromLatin1(kWriteChangedOnlyKey), checked);
        m_settings->sync();
    });
}

void DownloadTab::onExecuteBlockClicked() {
    runFromButton(ExecuteBlock, [this](link::LinkContext& ctx) {
        utilities::runExecuteBlock(ctx, m_host.state(), *m_executeView, m_host.prompter(),
                                   executeRequest());
    });
}

void DownloadTab::onCancelExecClicked() {
    runFromButton(CancelExec, [this](link::LinkContext& ctx) {
        utilities::runCancelExec(ctx, m_host.state().DataDir, *m_executeView, m_host.prompter(),
                                 executeRequest());
    });
}

utilities::ExecuteRequest DownloadTab::executeRequest() const {
    utilities::ExecuteRequest request;
    if (combinationChoice->currentIndex() >= 0) {
        request.combination = fromQt(combinationChoice->currentText());
    }
    request.combinationCount = combinationChoice->count();
    const QListWidgetItem* item = MacrosInCombination->currentItem();
    if (item != nullptr && item->isSelected()) {
        request.line = fromQt(item->text());
    }
    request.lineCount = MacrosInCombination->count();
    return request;
}

void DownloadTab::onQueryResetCmdClicked() {
    runFromButton(clearEpromButton, [this](link::LinkContext& ctx) {
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
        progressCancelButton->setFocus(Qt::OtherFocusReason);
    }
}

bool DownloadTab::pressCancel() {
    if (ProgressFrame->isHidden() || !progressCancelButton->isEnabled()) {
        return false;
    }
    progressCancelButton->click();
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
    // The line keeps the box's state for the operations (an attached line
    // takes it when attached). Without a line nothing drains the port.
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
