// The "Down Load" tab: the combination to download, the receive window, the
// progress frame and the guarded clear utility.
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
#include <QVBoxLayout>

#include "app/tabs.h"
#include "app/widget_factory.h"

namespace brindle::app {

namespace {

QGroupBox* buildProgressFrame(DownloadTab& tab) {
    tab.ProgressFrame = named(new QGroupBox, "ProgressFrame");
    tab.Label6 = named(new QLabel(QStringLiteral("Downloading")), "Label6");
    tab.ProgressBar1 = named(new QProgressBar, "ProgressBar1");
    tab.ProgressBar1->setRange(0, 100);
    tab.ProgressBar1->setValue(0);
    tab.PercentCaption = named(new QLabel, "PercentCaption");
    tab.MacroBytes = named(new QLabel, "MacroBytes");
    tab.RetryLabel = named(new QLabel(QStringLiteral("Verifying.....")), "RetryLabel");
    tab.CancelCmd = makeButton("CancelCmd", "Cancel");
    // The operations show these when they have something to report.
    tab.MacroBytes->setVisible(false);
    tab.RetryLabel->setVisible(false);

    auto* layout = new QGridLayout(tab.ProgressFrame);
    layout->addWidget(tab.Label6, 0, 0);
    layout->addWidget(tab.MacroBytes, 0, 1);
    layout->addWidget(tab.ProgressBar1, 1, 0, 1, 2);
    layout->addWidget(tab.PercentCaption, 2, 0);
    layout->addWidget(tab.RetryLabel, 2, 1);
    layout->addWidget(tab.CancelCmd, 3, 0, 1, 2, Qt::AlignHCenter);
    tab.ProgressFrame->setVisible(false);
    return tab.ProgressFrame;
}

QGroupBox* buildClearFrame(DownloadTab& tab) {
    const QString warning = QStringLiteral("Contact Technical Support before using this feature");
    tab.ClearFrame = named(new QGroupBox(QStringLiteral("Clear Utility")), "ClearFrame");
    tab.ClearFrame->setToolTip(warning);
    tab.LowerFill = named(new QLineEdit(QStringLiteral("0")), "LowerFill");
    tab.UpperFill = named(new QLineEdit(QStringLiteral("16")), "UpperFill");
    tab.QueryResetCmd = makeButton("QueryResetCmd", "Ok", "Perform requested function");

    auto* layout = new QGridLayout(tab.ClearFrame);
    layout->addWidget(new QLabel(QStringLiteral("Clear")), 0, 0, 1, 2);
    layout->addWidget(makeLabel("Start", tab.LowerFill), 1, 0);
    layout->addWidget(makeLabel("End", tab.UpperFill), 1, 1);
    layout->addWidget(tab.LowerFill, 2, 0);
    layout->addWidget(tab.UpperFill, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("E2prom Locations")), 3, 0, 1, 2);
    layout->addWidget(tab.QueryResetCmd, 4, 0, 1, 2);
    tab.ClearFrame->setVisible(false);
    return tab.ClearFrame;
}

}  // namespace

QWidget* buildDownloadTab(DownloadTab& tab) {
    tab.CustomList = named(new QComboBox, "CustomList");
    tab.MacrosInCombination = named(new QListWidget, "MacrosInCombination");
    tab.MacrosInCombination->setToolTip(QStringLiteral("Click on Macro to select it"));
    tab.QuickCmd =
        makeButton("QuickCmd", "Download", "Click to download ALL Macros in Combination selected");
    tab.ExecuteBlock = makeButton("ExecuteBlock", "Execute Block", "Execute Selected Macro");
    tab.CancelExec = makeButton("CancelExec", "Cancel Exec", "Cancel Macro execution");
    tab.Check1 = named(new QCheckBox(QStringLiteral("Receive Window Active")), "Check1");
    tab.Check1->setToolTip(QStringLiteral("Leave unchecked to increase download speed"));
    tab.List1 = named(new QListWidget, "List1");
    tab.ClearHistory = makeButton("ClearHistory", "Clear Receive Window");
    tab.TransposeToHex =
        named(new QCheckBox(QStringLiteral("Transpose Status Arguments from Decimal to Hex")),
              "TransposeToHex");

    auto* selection = new QVBoxLayout;
    selection->addWidget(makeLabel("Select Macro Combination", tab.CustomList, "Label5"));
    selection->addWidget(tab.CustomList);
    selection->addWidget(makeLabel("Macros in Combination", tab.MacrosInCombination, "Label17"));
    selection->addWidget(tab.MacrosInCombination, 1);
    auto* operations = new QHBoxLayout;
    operations->addWidget(tab.QuickCmd);
    operations->addWidget(tab.ExecuteBlock);
    operations->addWidget(tab.CancelExec);
    selection->addLayout(operations);
    selection->addWidget(tab.TransposeToHex);

    auto* receive = new QVBoxLayout;
    receive->addWidget(tab.Check1);
    receive->addWidget(makeLabel("Receive Window", tab.List1));
    receive->addWidget(tab.List1, 1);
    receive->addWidget(tab.ClearHistory);

    auto* frames = new QVBoxLayout;
    frames->addWidget(buildProgressFrame(tab));
    frames->addWidget(buildClearFrame(tab));
    frames->addStretch(1);

    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(selection, 1);
    layout->addLayout(receive, 1);
    layout->addLayout(frames);
    return page;
}

}  // namespace brindle::app
