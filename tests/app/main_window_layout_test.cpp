// The window's controls: every control of the four tabs is found by its name
// on its tab, with its kind, caption, tool tip and the label next to it.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>
#include <algorithm>
#include <map>

#include "app/elided_label.h"
#include "app/help_window.h"
#include "tests/app/window_fixture.h"

using brindle::testing::WindowFixture;

namespace {

// A caption as the user reads it: "&&" shows one ampersand, a single "&"
// only underlines the letter after it.
QString readCaption(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

QString captionOf(const QWidget* w) {
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return readCaption(button->text());
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(w)) {
        return frame->title();
    }
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    return QString();
}

// The caption of the label that names the control ("" when none does).
QString labelOf(const QWidget* window, const QWidget* control) {
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == control) {
            return label->text();
        }
    }
    return QString();
}

// A tool tip of the program's own wording, where none is prescribed.
constexpr const char* kOwnTip = "*";

// The letter that Alt and the key press: the one after a single "&", in
// lower case; none (a null character) when the text has no mnemonic.
QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&')) {
                return text[i + 1].toLower();
            }
            ++i;
        }
    }
    return QChar();
}

// What a control's Alt key is written in: a button's or frame's caption, or
// a label's that passes the key on to its control.
QString mnemonicText(const QWidget* w) {
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(w)) {
        return frame->title();
    }
    if (auto* label = qobject_cast<const QLabel*>(w); label && label->buddy()) {
        return label->text();
    }
    return QString();
}

// Inside a list or a text box: its own parts, laid out by the scroll area.
bool insideScrollArea(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(p)) {
            return true;
        }
    }
    return false;
}

// The visible controls of a widget that are cut by their parent's edge or
// narrower than they need: a clipped frame border, a button caption that
// does not fit. Labels that shorten their text on purpose ignore their width.
QStringList clippedControls(const QWidget* top) {
    QStringList clipped;
    for (const QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || insideScrollArea(w)) {
            continue;
        }
        const QString name = QStringLiteral("%1 %2 %3")
                                 .arg(QString::fromLatin1(w->metaObject()->className()),
                                      w->objectName(), QVariant(w->geometry()).toString());
        if (!w->parentWidget()->rect().contains(w->geometry())) {
            clipped << name + QStringLiteral(" outside its parent");
        }
        const bool ignoresWidth = w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored;
        if (!ignoresWidth &&
            (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLabel*>(w) ||
             qobject_cast<const QGroupBox*>(w))) {
            if (w->width() < w->minimumSizeHint().width()) {
                clipped << name + QStringLiteral(" narrower than its text");
            }
        }
    }
    return clipped;
}

}  // namespace

class MainWindowLayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_fixture = std::make_unique<WindowFixture>();
        m_fixture->open();
    }
    void cleanup() { m_fixture.reset(); }

    void windowShowsItsCaptionAndTheExitAndHelpButtons() {
        auto& w = *m_fixture->window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Brindle ZRT Download Utility      version 1.2"));
        auto* exit = w.findChild<QPushButton*>(QStringLiteral("exitcmd"));
        auto* help = w.findChild<QPushButton*>(QStringLiteral("helpcmd"));
        QVERIFY(exit && help);
        QCOMPARE(readCaption(exit->text()), QStringLiteral("Exit"));
        QCOMPARE(readCaption(help->text()), QStringLiteral("Help"));
        QCOMPARE(help->toolTip(), QStringLiteral("Click to view command descriptions"));
    }

    void exitClosesTheWindow() {
        auto& w = *m_fixture->window;
        w.show();
        QVERIFY(w.isVisible());
        w.findChild<QPushButton*>(QStringLiteral("exitcmd"))->click();
        QVERIFY(!w.isVisible());
    }

    // Ctrl+Q closes the window like Exit, pressed in the window or in the
    // help window beside it.
    void ctrlQClosesTheWindow_data() {
        QTest::addColumn<bool>("fromHelp");
        QTest::newRow("in the window") << false;
        QTest::newRow("in the help window") << true;
    }

    void ctrlQClosesTheWindow() {
        QFETCH(bool, fromHelp);
        auto& w = *m_fixture->window;
        w.show();
        QWidget* target = &w;
        if (fromHelp) {
            w.helpcmd()->click();
            target = w.helpWindow();
        }
        target->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(target));
        QTest::keyClick(target, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.isVisible());
    }

    void tabsStandInOrderAndTheWindowOpensOnReadBack() {
        auto* tabs = m_fixture->window->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Specify Macros"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Read back"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Down Load"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Setup"));
        QCOMPARE(tabs->currentIndex(), 1);
    }

    void everyControlStandsOnItsTabWithItsCaptionTipAndLabel_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("label");
        auto row = [](const char* name, int tab, const char* kind, const char* caption,
                      const char* tip, const char* label) {
            QTest::newRow(name) << QString::fromLatin1(name) << tab << QString::fromLatin1(kind)
                                << QString::fromLatin1(caption) << QString::fromLatin1(tip)
                                << QString::fromLatin1(label);
        };
        row("ComboList", 0, "QComboBox", "", "", "Select Macro Combination");
        row("MacroList", 0, "QComboBox", "", "", "Select Macro");
        row("MacroComboList", 0, "QListWidget", "", "Click on Macro to Preview or edit the Macro",
            "Macro Sequence in Combination");
        row("MacroText", 0, "QPlainTextEdit", "", "", "Selected Macro Text");
        row("MacroSizeLabel", 0, "QLabel", "", "", "");
        row("VersionText", 0, "QLineEdit", "", "Optional", "Version");
        row("DescriptionText", 0, "QPlainTextEdit", "", "Optional", "Description");
        row("StartingMacroNum", 0, "QLineEdit", "", "Macro to be performed after power up (0-none)",
            "Starting Macro #");
        row("NodeAddress", 0, "QLineEdit", "", "Address of ZRT Host", "Node Address");
        row("NewComboCmd", 0, "QPushButton", "New Combination",
            "Click to creat a new Macro Combination", "");
        row("NewMacroCmd", 0, "QPushButton", "New Macro", "Click to create a new Macro", "");
        row("SaveComboCmd", 0, "QPushButton", "Save Combination", kOwnTip, "");
        row("SaveMacroCmd", 0, "QPushButton", "Save Macro", kOwnTip, "");
        row("InsertAddCmd", 0, "QPushButton", "Insert/Add To Combo Combination Sequence",
            "Always save the Combination selected to insert a new macro", "");
        row("DeleteMacroLink", 0, "QPushButton", "Delete Macro Link", kOwnTip, "");
        row("DeleteCombo", 0, "QPushButton", "Delete Combination", kOwnTip, "");
        row("DeleteMacro", 0, "QPushButton", "Delete Macro", kOwnTip, "");

        row("Command1", 1, "QPushButton", "Read E2prom", "Read contents of E2prom in Macro Module",
            "");
        row("Command2", 1, "QPushButton", "Clear All", kOwnTip, "");
        row("SaveCmd", 1, "QPushButton", "Save to File", "Saves Data read to a file", "");
        row("StatArgument", 1, "QCheckBox", "Convert Status Arguments to HEX", kOwnTip, "");
        row("Text1", 1, "QTextEdit", "", "", "E2prom Data");
        row("Text2", 1, "QLineEdit", "", "", "Macro Id");
        row("Text3", 1, "QLineEdit", "", "", "Boot Macro");
        row("Text4", 1, "QLineEdit", "", "", "# of Macros");
        row("ReadingMsg", 1, "QLabel", "Reading E2prom...", "", "");

        row("CustomList", 2, "QComboBox", "", "", "Select Macro Combination");
        row("MacrosInCombination", 2, "QListWidget", "", "Click on Macro to select it",
            "Macros in Combination");
        row("QuickCmd", 2, "QPushButton", "Download",
            "Click to download ALL Macros in Combination selected", "");
        row("ExecuteBlock", 2, "QPushButton", "Execute Block", "Execute Selected Macro", "");
        row("CancelExec", 2, "QPushButton", "Cancel Exec", "Cancel Macro execution", "");
        row("Check1", 2, "QCheckBox", "Receive Window Active",
            "Leave unchecked to increase download speed", "");
        row("List1", 2, "QListWidget", "", "", "Receive Window");
        row("ClearHistory", 2, "QPushButton", "Clear Receive Window", kOwnTip, "");
        row("TransposeToHex", 2, "QCheckBox", "Transpose Status Arguments from Decimal to Hex",
            kOwnTip, "");
        row("ProgressFrame", 2, "QGroupBox", "", "", "");
        row("CancelCmd", 2, "QPushButton", "Cancel", kOwnTip, "");
        row("ProgressBar1", 2, "QProgressBar", "", "", "");
        row("MacroBytes", 2, "QLabel", "", "", "");
        row("RetryLabel", 2, "QLabel", "Verifying.....", "", "");
        row("PercentCaption", 2, "QLabel", "", "", "");
        row("Label6", 2, "QLabel", "Downloading", "", "");
        row("ClearFrame", 2, "QGroupBox", "Clear Utility",
            "Contact Technical Support before using this feature", "");
        row("LowerFill", 2, "QLineEdit", "", "", "Start");
        row("UpperFill", 2, "QLineEdit", "", "", "End");
        row("QueryResetCmd", 2, "QPushButton", "Ok", "Perform requested function", "");

        row("PostWriteDelay", 3, "QComboBox", "", "a delay of 1ms will provide the best results",
            "Post-Write Delay ms");
        row("PostReadDelay", 3, "QComboBox", "", "a delay of 1ms will provide the best results",
            "Post-Read Delay ms");
        row("EnableClearUtility", 3, "QCheckBox", "Enable Clear Utility on Down-Load Tab",
            "Contact Technical Support before using this feature", "");
        row("Drive1", 3, "QComboBox", "", "", "Drive");
        row("Dir1", 3, "QListWidget", "", "", "Auxiliary Folders Directory");
        row("File1", 3, "QListWidget", "", "", "Files");
        row("Pattern", 3, "QComboBox", "", "", "File Type");
        row("SelectBaudRate", 3, "QGroupBox", "Baud Rate", "", "");
        row("SelectComPort", 3, "QGroupBox", "Com Port", "", "");
    }

    void everyControlStandsOnItsTabWithItsCaptionTipAndLabel() {
        QFETCH(QString, name);
        QFETCH(int, tab);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        QFETCH(QString, label);
        auto& w = *m_fixture->window;
        const QList<QWidget*> found = w.SSTab1()->widget(tab)->findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        QWidget* control = found.front();
        QVERIFY2(control->inherits(kind.toLatin1().constData()),
                 control->metaObject()->className());
        QCOMPARE(captionOf(control), caption);
        if (tip == QLatin1String(kOwnTip)) {
            QVERIFY(!control->toolTip().isEmpty());
        } else {
            QCOMPARE(control->toolTip(), tip);
        }
        QCOMPARE(labelOf(&w, control), label);
    }

    void namedLabelsCarryTheirCaptions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Label5") << "Label5"
                                << "Select Macro Combination";
        QTest::newRow("Label8") << "Label8"
                                << "Select Macro Combination";
        QTest::newRow("Label10") << "Label10"
                                 << "Macro Sequence in Combination";
        QTest::newRow("Label11") << "Label11"
                                 << "Select Macro";
        QTest::newRow("Label12") << "Label12"
                                 << "Selected Macro Text";
        QTest::newRow("Label13") << "Label13"
                                 << "Version";
        QTest::newRow("Label17") << "Label17"
                                 << "Macros in Combination";
        QTest::newRow("Label19") << "Label19"
                                 << "E2prom Data";
        QTest::newRow("Label20") << "Label20"
                                 << "Macro Id";
        QTest::newRow("Label21") << "Label21"
                                 << "Boot Macro";
        QTest::newRow("Label23") << "Label23"
                                 << "# of Macros";
    }

    void namedLabelsCarryTheirCaptions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        auto* label = m_fixture->window->findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
    }

    void optionArraysShareTheirNameAndCarryTheirIndex_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("BaudOpt") << "BaudOpt"
                                 << "SelectBaudRate"
                                 << QStringList{"1200", "9600", "19200", "38400", "57600"};
        QTest::newRow("ComOpt") << "ComOpt"
                                << "SelectComPort" << QStringList{"Com1", "Com2", "Com3", "Com4"};
    }

    void optionArraysShareTheirNameAndCarryTheirIndex() {
        QFETCH(QString, name);
        QFETCH(QString, frame);
        QFETCH(QStringList, captions);
        auto* box = m_fixture->window->SSTab1()->widget(3)->findChild<QGroupBox*>(frame);
        QVERIFY(box);
        QList<QRadioButton*> options = box->findChildren<QRadioButton*>(name);
        QCOMPARE(options.size(), captions.size());
        std::sort(options.begin(), options.end(), [](QRadioButton* a, QRadioButton* b) {
            return a->property("index").toInt() < b->property("index").toInt();
        });
        for (int i = 0; i < captions.size(); ++i) {
            QCOMPARE(options[i]->property("index").toInt(), i);
            QCOMPARE(options[i]->text(), captions[i]);
        }
    }

    void browserControlsAreTheSingleMemberOne() {
        for (const char* name : {"Drive1", "Dir1", "File1", "Pattern"}) {
            auto* control = m_fixture->window->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(control, name);
            QCOMPARE(control->property("index").toInt(), 1);
        }
    }

    void framesMessagesAndReadBackFieldsStartHidden() {
        for (const char* name :
             {"ProgressFrame", "ClearFrame", "ReadingMsg", "RetryLabel", "MacroBytes", "Text2",
              "Text3", "Text4", "Label20", "Label21", "Label23"}) {
            auto* control = m_fixture->window->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(control && control->isHidden(), name);
        }
        for (const char* name : {"Text1", "Command1", "QuickCmd", "List1", "SelectBaudRate",
                                 "CancelCmd", "ProgressBar1", "PercentCaption", "Label6"}) {
            auto* control = m_fixture->window->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(control && !control->isHidden(), name);
        }
    }

    void listsAcceptTypedNamesWhereANameIsTyped() {
        auto& w = *m_fixture->window;
        QVERIFY(w.specifyTab().ComboList->isEditable());
        QVERIFY(w.specifyTab().MacroList->isEditable());
        QVERIFY(!w.downloadTab().combinationChoice->isEditable());
        QVERIFY(w.setupTab().PostWriteDelay->isEditable());
        QVERIFY(w.setupTab().Pattern->isEditable());
    }

    void selectorsHoldTheirEntries() {
        auto& setup = m_fixture->window->setupTab();
        const QStringList delays{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        for (QComboBox* selector : {setup.PostWriteDelay, setup.PostReadDelay}) {
            QStringList entries;
            for (int i = 0; i < selector->count(); ++i) {
                entries << selector->itemText(i);
            }
            QCOMPARE(entries, delays);
        }
        QCOMPARE(setup.Pattern->count(), 3);
        QCOMPARE(setup.Pattern->itemText(0), QStringLiteral("*.cmd"));
        QCOMPARE(setup.Pattern->itemText(1), QStringLiteral("*.Zrt"));
        QCOMPARE(setup.Pattern->itemText(2), QStringLiteral("*.*"));
    }

    void progressAndClearFieldsStartWithTheirDefaults() {
        auto& download = m_fixture->window->downloadTab();
        QCOMPARE(download.progressBar->minimum(), 0);
        QCOMPARE(download.progressBar->maximum(), 100);
        QCOMPARE(download.LowerFill->text(), QStringLiteral("0"));
        QCOMPARE(download.UpperFill->text(), QStringLiteral("16"));
    }

    // Every button, the help window's included, says what it does when the
    // pointer rests on it and can be pressed with Alt and a letter.
    void everyButtonCarriesAToolTipAndAnAltKey() {
        auto& w = *m_fixture->window;
        w.helpcmd()->click();
        QVERIFY(w.helpWindow());
        const QList<QPushButton*> buttons = w.findChildren<QPushButton*>();
        QVERIFY(buttons.contains(w.helpWindow()->saveChangesButton));
        QVERIFY(buttons.contains(w.downloadTab().progressCancelButton));
        for (const QPushButton* button : buttons) {
            const QByteArray id =
                (button->objectName() + QLatin1Char(' ') + button->text()).toUtf8();
            QVERIFY2(!button->toolTip().trimmed().isEmpty(), id.constData());
            QVERIFY2(!mnemonicOf(button->text()).isNull(), id.constData());
        }
    }

    // Within one tab, together with Exit and Help, no two controls answer
    // the same Alt key: the second would never be reached with it.
    void altKeysAreUniqueOnEachTab() {
        auto& w = *m_fixture->window;
        for (int tab = 0; tab < w.SSTab1()->count(); ++tab) {
            std::map<QChar, QString> owners;
            QList<QWidget*> controls = w.SSTab1()->widget(tab)->findChildren<QWidget*>();
            controls << w.exitcmd() << w.helpcmd();
            for (const QWidget* control : controls) {
                const QChar key = mnemonicOf(mnemonicText(control));
                if (key.isNull()) {
                    continue;
                }
                const QString owner =
                    control->objectName() + QLatin1Char(' ') + mnemonicText(control);
                const auto [it, added] = owners.emplace(key, owner);
                QVERIFY2(added, qPrintable(QStringLiteral("tab %1: Alt+%2 for %3 and %4")
                                               .arg(tab)
                                               .arg(key)
                                               .arg(it->second, owner)));
            }
        }
    }

    // Text whose columns must line up: every character as wide as the next.
    void columnTextUsesOneWidthForEveryCharacter_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"MacroText", "MacroComboList", "Text1", "List1", "MacrosInCombination"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    void columnTextUsesOneWidthForEveryCharacter() {
        QFETCH(QString, name);
        auto* control = m_fixture->window->SSTab1()->findChild<QWidget*>(name);
        QVERIFY(control);
        const QFontMetrics metrics(control->font());
        const int width = metrics.horizontalAdvance(QStringLiteral("MMMMM"));
        for (const char* text : {"iiiii", "  1 *", "#.,:;", "WWWWW", "/* */"}) {
            QCOMPARE(metrics.horizontalAdvance(QString::fromLatin1(text)), width);
        }
    }

    // Every tab at the window's first size and at the smallest it can be
    // made: no frame border or caption is cut.
    // The Setup tab names the folder of the databases, whole at the window's
    // first size for a path of ordinary length.
    void setupTabNamesTheDataFolderInUse() {
        auto& w = *m_fixture->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.SSTab1()->setCurrentIndex(3);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        auto* caption = w.SSTab1()->widget(3)->findChild<brindle::app::ElidedLabel*>(
            QStringLiteral("DataFolder"));
        QVERIFY(caption);
        QCOMPARE(caption->text(),
                 QStringLiteral("Data folder: ") + QString::fromStdString(m_fixture->dir.path()));
        QVERIFY(caption->isVisible());
        QVERIFY(!caption->elided());
    }

    void noControlIsCutAtTheFirstOrTheSmallestSize() {
        auto& w = *m_fixture->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (const QSize size : {w.size(), w.minimumSizeHint()}) {
            w.resize(size);
            for (int tab = 0; tab < w.SSTab1()->count(); ++tab) {
                w.SSTab1()->setCurrentIndex(tab);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                const QStringList clipped = clippedControls(&w);
                QVERIFY2(clipped.isEmpty(), qPrintable(QStringLiteral("tab %1 at %2x%3: ")
                                                           .arg(tab)
                                                           .arg(w.width())
                                                           .arg(w.height()) +
                                                       clipped.join(QStringLiteral("; "))));
            }
        }
    }

  private:
    std::unique_ptr<WindowFixture> m_fixture;
};

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
