#include "app/setup_tab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/browser_lists.h"
#include "app/elided_label.h"
#include "app/text_conversion.h"
#include "app/widget_factory.h"
#include "base/numeric.h"
#include "link/com_port.h"
#include "link/qt/system_ports.h"
#include "store/remembered.h"
#include "utilities/clear_eprom.h"

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

SetupTab::SetupTab(OperationHost& host, const DriveEntries& drives, PortLister portLister)
    : m_host(host) {
    ComDevice = named(new PortChooser(std::move(portLister)), "ComDevice");
    buildWidgets(drives);
    connectHandlers();
}

void SetupTab::buildWidgets(const DriveEntries& drives) {
    PostWriteDelay = makeDelaySelector("PostWriteDelay");
    PostReadDelay = makeDelaySelector("PostReadDelay");
    EnableClearUtility =
        named(new QCheckBox(QStringLiteral("&Enable Clear Utility on Down-Load Tab")),
              "EnableClearUtility");
    EnableClearUtility->setToolTip(
        QStringLiteral("Contact Technical Support before using this feature"));

    // The browser controls form one set with the single index 1.
    driveList = named(new DriveList(drives.entries, drives.selected), "Drive1");
    folderList = named(new FolderList, "Dir1");
    fileList = named(new FileList, "File1");
    Pattern = makeEditableList("Pattern");
    Pattern->addItems({QStringLiteral("*.cmd"), QStringLiteral("*.Zrt"), QStringLiteral("*.*")});
    Pattern->setCurrentIndex(-1);
    Pattern->setEditText(QStringLiteral("*.cmd"));
    for (QWidget* w : {static_cast<QWidget*>(driveList), static_cast<QWidget*>(folderList),
                       static_cast<QWidget*>(fileList), static_cast<QWidget*>(Pattern)}) {
        setArrayIndex(w, 1);
    }

    SelectBaudRate = buildOptionFrame<5>("SelectBaudRate", "Baud Rate", "BaudOpt",
                                         {"1200", "9600", "19200", "38400", "57600"}, BaudOpt);
    SelectComPort = buildOptionFrame<4>("SelectComPort", "Com Port", "ComOpt",
                                        {"Com1", "Com2", "Com3", "Com4"}, ComOpt);
    auto* comLayout = static_cast<QVBoxLayout*>(SelectComPort->layout());
    comLayout->addWidget(makeLabel("&Device", ComDevice));
    comLayout->addWidget(ComDevice);

    auto* delays = new QGridLayout;
    delays->addWidget(makeLabel("Post-Write Delay ms", PostWriteDelay), 0, 0);
    delays->addWidget(PostWriteDelay, 0, 1);
    delays->addWidget(makeLabel("Post-Read Delay ms", PostReadDelay), 1, 0);
    delays->addWidget(PostReadDelay, 1, 1);

    auto* settings = new QVBoxLayout;
    settings->addLayout(delays);
    auto* options = new QHBoxLayout;
    options->addWidget(SelectBaudRate);
    options->addWidget(SelectComPort);
    settings->addLayout(options);
    settings->addWidget(EnableClearUtility);
    settings->addStretch(1);

    auto* browser = new QGridLayout;
    browser->addWidget(makeLabel("Drive", driveList), 0, 0);
    browser->addWidget(driveList, 1, 0);
    browser->addWidget(makeLabel("Auxiliary Folders Directory", folderList), 2, 0);
    // A long path is shortened in its middle rather than widening the tab.
    FolderPath = named(new ElidedLabel(Qt::ElideMiddle), "FolderPath");
    FolderPath->setText(folderList->path());
    auto* folder = new QVBoxLayout;
    folder->addWidget(FolderPath);
    folder->addWidget(folderList, 1);
    browser->addLayout(folder, 3, 0);
    browser->addWidget(makeLabel("Files", fileList), 0, 1);
    browser->addWidget(fileList, 1, 1, 3, 1);
    browser->addWidget(makeLabel("File Type", Pattern), 4, 1);
    browser->addWidget(Pattern, 5, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(settings);
    columns->addLayout(browser, 1);
    // The data folder in one line under both columns, shortened in its middle
    // (and whole in its tool tip) when the path is longer than the tab.
    DataFolder = named(new ElidedLabel(Qt::ElideMiddle), "DataFolder");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(DataFolder);
}

void SetupTab::showDataFolder(const std::string& folder) {
    DataFolder->setText(QStringLiteral("Data folder: ") + pathToQt(folder));
}

QComboBox* SetupTab::delaySelector(store::DelayField field) const {
    return field == store::DelayField::Read ? PostReadDelay : PostWriteDelay;
}

int16_t& SetupTab::delayCopy(store::DelayField field) {
    return field == store::DelayField::Read ? m_host.state().PostReadDelayMs
                                            : m_host.state().PostWriteDelayMs;
}

void SetupTab::connectHandlers() {
    for (store::DelayField field : {store::DelayField::Read, store::DelayField::Write}) {
        QComboBox* selector = delaySelector(field);
        connect(selector, &QComboBox::editTextChanged, this,
                [this, field] { onDelayTextChanged(field); });
        connect(selector, &QComboBox::activated, this,
                [this, field](int entry) { onDelayEntryChosen(field, entry); });
        connect(selector->lineEdit(), &QLineEdit::editingFinished, this,
                [this, field] { onDelayEditingFinished(field); });
    }
    for (std::size_t i = 0; i < BaudOpt.size(); ++i) {
        connect(BaudOpt[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                onBaudOptChosen(static_cast<int>(i));
            }
        });
    }
    for (std::size_t i = 0; i < ComOpt.size(); ++i) {
        connect(ComOpt[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                onComOptChosen(static_cast<int>(i));
            }
        });
    }
    connect(ComDevice, &PortChooser::choiceMade, this,
            [this](const std::string& choice) { onComDeviceChosen(choice); });
    connect(driveList, &QComboBox::currentIndexChanged, this,
            [this](int position) { onDrive1Changed(position); });
    connect(folderList, &FolderList::pathChanged, this, [this] { onDir1Changed(); });
    // Typing in the pattern line; choosing an entry is a separate event that
    // stores nothing.
    connect(Pattern->lineEdit(), &QLineEdit::textEdited, this, [this] { onPatternTextEdited(); });
    connect(Pattern, &QComboBox::activated, this, [this] { onPatternActivated(); });
    connect(EnableClearUtility, &QCheckBox::toggled, this,
            [this](bool ticked) { onEnableClearUtilityToggled(ticked); });
}

void SetupTab::onEnableClearUtilityToggled(bool ticked) {
    utilities::EnableClearUtility(
        ticked, [this](bool visible) { Q_EMIT clearFrameSwitched(visible); }, m_host.prompter());
}

// Runs on every keystroke and when the program sets the text.
void SetupTab::onDelayTextChanged(store::DelayField field) {
    state::MainState& st = m_host.state();
    m_delayEdit.textChanged(st.DataDir, st.ConfigRecord, field,
                            fromQt(delaySelector(field)->currentText()), delayCopy(field),
                            !m_settingDelayText && st.LoadedYet);
}

void SetupTab::onDelayEntryChosen(store::DelayField field, int entry) {
    state::MainState& st = m_host.state();
    m_host.reportFailure(m_delayEdit.entryChosen(st.DataDir, st.ConfigRecord, field,
                                                 fromQt(delaySelector(field)->itemText(entry)),
                                                 delayCopy(field)));
}

void SetupTab::onDelayEditingFinished(store::DelayField field) {
    QComboBox* selector = delaySelector(field);
    const store::DelayEdit::Finish finish =
        m_delayEdit.editingFinished(field, fromQt(selector->currentText()), delayCopy(field));
    m_host.reportFailure(finish.report);
    if (finish.showText) {
        m_settingDelayText = true;
        selector->setEditText(toQt(*finish.showText));
        m_settingDelayText = false;
    }
}

void SetupTab::onBaudOptChosen(int index) {
    const QRadioButton* option = BaudOpt[static_cast<std::size_t>(index)];
    m_host.reportFailure(store::storeBaud(m_host.state().DataDir, m_host.state().ConfigRecord,
                                          fromQt(option->text()), m_host.state().PostReadDelayMs,
                                          m_host.state().PostWriteDelayMs));
    m_host.InitializePort();
}

void SetupTab::onComOptChosen(int index) {
    m_host.reportFailure(store::storePort(m_host.state().DataDir, m_host.state().ConfigRecord,
                                          index + 1, m_host.state().PostReadDelayMs,
                                          m_host.state().PostWriteDelayMs));
    showComDevice();
    m_host.InitializePort();
}

void SetupTab::showComDevice() {
    const int com = m_host.state().ConfigRecord.PortNumber;
    ComDevice->setEnabled(com >= 1 && com <= 4);
    ComDevice->showChoice(com, link::comChoice(m_host.state().ComChoices, com));
}

// Remembered for the Com selected now, with the window's settings: the
// configuration file's layout has no room for it.
void SetupTab::onComDeviceChosen(const std::string& choice) {
    const int com = m_host.state().ConfigRecord.PortNumber;
    if (com < 1 || com > 4) {
        return;
    }
    m_host.state().ComChoices[static_cast<std::size_t>(com - 1)] = choice;
    if (m_portSettings != nullptr) {
        link::qt::writeComChoice(*m_portSettings, com, choice);
    }
    m_host.InitializePort();
}

void SetupTab::restoreBrowser() {
    restoreDriveAndPattern();
    restoreFolder();
}

void SetupTab::showConfiguration() {
    showDelays();
    selectPortOption();
    selectSpeedOption();
}

void SetupTab::restoreFolder() {
    const auto folder = store::readRememberedPath(store::kLastPathFile);
    if (folder && folderList->setPath(pathToQt(*folder))) {
        fileList->setPath(folderList->path());
    }
}

void SetupTab::showDelays() {
    // Showing the values runs the text-change handling, which stores them again.
    m_host.state().PostReadDelayMs = m_host.state().ConfigRecord.ReadDelayMs;
    PostReadDelay->setEditText(
        QString::fromStdString(base::decimalText(m_host.state().PostReadDelayMs)));
    m_host.state().PostWriteDelayMs = m_host.state().ConfigRecord.WriteDelayMs;
    PostWriteDelay->setEditText(
        QString::fromStdString(base::decimalText(m_host.state().PostWriteDelayMs)));
}

void SetupTab::selectPortOption() {
    for (int i = 0; i < static_cast<int>(ComOpt.size()); ++i) {
        if (m_host.state().ConfigRecord.PortNumber == i + 1) {
            ComOpt[static_cast<std::size_t>(i)]->setChecked(true);
        }
    }
    showComDevice();
}

void SetupTab::selectSpeedOption() {
    for (QRadioButton* option : BaudOpt) {
        if (base::numericValue(fromQt(option->text())) == m_host.state().ConfigRecord.BaudRate) {
            option->setChecked(true);
        }
    }
}

}  // namespace brindle::app
