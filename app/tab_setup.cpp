// The "Setup" tab: the delay selectors, the file browser, and the speed and
// port options.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/browser_lists.h"
#include "app/tabs.h"
#include "app/widget_factory.h"

namespace brindle::app {

namespace {

QComboBox* makeDelaySelector(const char* name) {
    QComboBox* selector = makeEditableList(name);
    for (int ms = 0; ms <= 10; ++ms) {
        selector->addItem(QString::number(ms));
    }
    // No entry is chosen until start-up shows the stored value.
    selector->setCurrentIndex(-1);
    selector->setToolTip(QStringLiteral("a delay of 1ms will provide the best results"));
    return selector;
}

template <std::size_t N>
QGroupBox* buildOptionFrame(const char* frameName, const char* caption, const char* arrayName,
                            const std::array<const char*, N>& captions,
                            std::array<QRadioButton*, N>& options) {
    auto* frame = named(new QGroupBox(QString::fromLatin1(caption)), frameName);
    auto* layout = new QVBoxLayout(frame);
    // One group per frame keeps the choice exclusive while allowing no choice
    // at all (a stored speed that no caption matches).
    auto* group = new QButtonGroup(frame);
    for (std::size_t i = 0; i < N; ++i) {
        options[i] = named(new QRadioButton(QString::fromLatin1(captions[i])), arrayName);
        setArrayIndex(options[i], static_cast<int>(i));
        group->addButton(options[i], static_cast<int>(i));
        layout->addWidget(options[i]);
    }
    return frame;
}

}  // namespace

QWidget* buildSetupTab(SetupTab& tab) {
    tab.PostWriteDelay = makeDelaySelector("PostWriteDelay");
    tab.PostReadDelay = makeDelaySelector("PostReadDelay");
    tab.EnableClearUtility =
        named(new QCheckBox(QStringLiteral("Enable Clear Utility on Down-Load Tab")),
              "EnableClearUtility");
    tab.EnableClearUtility->setToolTip(
        QStringLiteral("Contact Technical Support before using this feature"));

    // The browser controls form one set with the single index 1.
    tab.Drive1 = named(new DriveList, "Drive1");
    tab.Dir1 = named(new FolderList, "Dir1");
    tab.File1 = named(new FileList, "File1");
    tab.Pattern = makeEditableList("Pattern");
    tab.Pattern->addItems(
        {QStringLiteral("*.cmd"), QStringLiteral("*.Zrt"), QStringLiteral("*.*")});
    tab.Pattern->setCurrentIndex(-1);
    tab.Pattern->setEditText(QStringLiteral("*.cmd"));
    for (QWidget* w : {static_cast<QWidget*>(tab.Drive1), static_cast<QWidget*>(tab.Dir1),
                       static_cast<QWidget*>(tab.File1), static_cast<QWidget*>(tab.Pattern)}) {
        setArrayIndex(w, 1);
    }

    tab.SelectBaudRate =
        buildOptionFrame<5>("SelectBaudRate", "Baud Rate", "BaudOpt",
                            {"1200", "9600", "19200", "38400", "57600"}, tab.BaudOpt);
    tab.SelectComPort = buildOptionFrame<4>("SelectComPort", "Com Port", "ComOpt",
                                            {"Com1", "Com2", "Com3", "Com4"}, tab.ComOpt);

    auto* delays = new QGridLayout;
    delays->addWidget(makeLabel("Post-Write Delay ms", tab.PostWriteDelay), 0, 0);
    delays->addWidget(tab.PostWriteDelay, 0, 1);
    delays->addWidget(makeLabel("Post-Read Delay ms", tab.PostReadDelay), 1, 0);
    delays->addWidget(tab.PostReadDelay, 1, 1);

    auto* settings = new QVBoxLayout;
    settings->addLayout(delays);
    auto* options = new QHBoxLayout;
    options->addWidget(tab.SelectBaudRate);
    options->addWidget(tab.SelectComPort);
    settings->addLayout(options);
    settings->addWidget(tab.EnableClearUtility);
    settings->addStretch(1);

    auto* browser = new QGridLayout;
    browser->addWidget(makeLabel("Drive", tab.Drive1), 0, 0);
    browser->addWidget(tab.Drive1, 1, 0);
    browser->addWidget(makeLabel("Auxiliary Folders Directory", tab.Dir1), 2, 0);
    browser->addWidget(tab.Dir1, 3, 0);
    browser->addWidget(makeLabel("Files", tab.File1), 0, 1);
    browser->addWidget(tab.File1, 1, 1, 3, 1);
    browser->addWidget(makeLabel("File Type", tab.Pattern), 4, 1);
    browser->addWidget(tab.Pattern, 5, 1);

    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(settings);
    layout->addLayout(browser, 1);
    return page;
}

}  // namespace brindle::app
