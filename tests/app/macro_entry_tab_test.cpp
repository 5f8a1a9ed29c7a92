// The Specify Macros tab driven through its widgets: typing, clicking and
// choosing as a user does, with the files checked afterwards and again after
// the window is opened anew.
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QtTest>
#include <filesystem>

#include "store/databases.h"
#include "tests/app/window_fixture.h"
#include "tests/support/library_builder.h"

using brindle::testing::readBytes;
using brindle::testing::WindowFixture;
namespace store = brindle::store;

namespace {

QStringList entries(const QComboBox* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->itemText(i);
    }
    return out;
}

QStringList entries(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->item(i)->text();
    }
    return out;
}

// What the toolkit does when the user picks an entry of a drop-down list.
void choose(QComboBox* list, int entry) {
    list->setCurrentIndex(entry);
    Q_EMIT list->activated(entry);
}

// The window need not be active: its focus widget says where keys will go.
bool hasFocus(QComboBox* list) {
    const QWidget* focus = list->window()->focusWidget();
    return focus == list || focus == list->lineEdit();
}

void typeInto(QWidget* box, const QString& text) {
    QTest::keyClicks(box, text);
}

// Types the lines into a text box, each ended with Return but the last.
void typeLines(QPlainTextEdit* box, const QStringList& lines) {
    box->setFocus();
    for (int i = 0; i < lines.size(); ++i) {
        QTest::keyClicks(box, lines[i]);
        if (i + 1 < lines.size()) {
            QTest::keyClick(box, Qt::Key_Return);
        }
    }
}

}  // namespace

class SpecifyTabTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { m_fixture = std::make_unique<WindowFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void aMacroAndACombinationTypedSavedAndEditedComeBackAfterAReload() {
        brindle::app::SpecifyTab& t = open();

        typeInto(t.MacroList->lineEdit(), QStringLiteral("HOME"));
        typeLines(t.MacroText, {QStringLiteral("1 MA 0"), QStringLiteral("MACRO 2")});
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);
        QTest::mouseClick(t.NewMacroCmd, Qt::LeftButton);
        QCOMPARE(t.MacroList->currentText(), QString());
        QCOMPARE(t.MacroText->toPlainText(), QString());
        typeInto(t.MacroList->lineEdit(), QStringLiteral("Pick"));
        typeLines(t.MacroText, {QStringLiteral("2 MA 5"), QStringLiteral("macro 3")});
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);
        QCOMPARE(entries(t.MacroList), (QStringList{"HOME        ", "Pick        "}));
        QVERIFY(m_fixture->prompter.messages.empty());
        const std::string stored = readBytes(m_fixture->file("MacroDb.Dat"));
        QCOMPARE(stored.size(), std::size_t{2 * 16360});
        QCOMPARE(stored.substr(0, 12), std::string("HOME        "));
        QCOMPARE(stored.substr(24, 16), std::string("1 MA 0\r\nMACRO 2 "));

        typeInto(t.ComboList->lineEdit(), QStringLiteral("LINE1"));
        typeInto(t.VersionText, QStringLiteral("v1"));
        typeLines(t.DescriptionText, {QStringLiteral("Demo"), QStringLiteral("line")});
        typeInto(t.StartingMacroNum, QStringLiteral("1"));
        typeInto(t.NodeAddress, QStringLiteral("65"));
        QTest::mouseClick(t.SaveComboCmd, Qt::LeftButton);
        QCOMPARE(entries(t.ComboList), QStringList{"LINE1           "});
        QCOMPARE(entries(window().downloadTab().combinationChoice),
                 QStringList{"LINE1           "});
        QCOMPARE(t.ComboList->currentText(), QStringLiteral("LINE1"));

        choose(t.MacroList, 0);
        QCOMPARE(t.MacroText->toPlainText(), QStringLiteral("1 MA 0\nMACRO 2"));
        QCOMPARE(t.MacroSizeLabel->text(), QStringLiteral("15 Bytes"));
        QTest::mouseClick(t.InsertAddCmd, Qt::LeftButton);
        QCOMPARE(entries(t.MacroComboList), QStringList{"* 1  HOME        "});
        QCOMPARE(t.MacroComboList->currentRow(), 0);
        choose(t.MacroList, 1);
        QTest::mouseClick(t.InsertAddCmd, Qt::LeftButton);
        QCOMPARE(entries(t.MacroComboList),
                 (QStringList{"* 1  HOME        ", "  2  Pick        "}));
        QCOMPARE(t.MacroComboList->currentRow(), 1);
        choose(t.MacroList, 0);
        QTest::mouseClick(t.InsertAddCmd, Qt::LeftButton);  // after Pick
        QTest::mouseClick(t.MacroComboList->viewport(), Qt::LeftButton, {},
                          t.MacroComboList->visualItemRect(t.MacroComboList->item(1)).center());
        QCOMPARE(t.MacroList->currentText(), QStringLiteral("Pick"));
        QTest::mouseClick(t.DeleteMacroLink, Qt::LeftButton);
        QCOMPARE(entries(t.MacroComboList),
                 (QStringList{"* 1  HOME        ", "  2  HOME        "}));
        QCOMPARE(t.MacroComboList->currentRow(), -1);
        QVERIFY(m_fixture->prompter.messages.empty());

        // A second window on the same folder.
        m_fixture->window.reset();
        brindle::app::SpecifyTab& again = open();
        QCOMPARE(entries(again.MacroList), (QStringList{"HOME        ", "Pick        "}));
        choose(again.ComboList, 0);
        QCOMPARE(again.VersionText->text(), QStringLiteral("v1              "));
        QCOMPARE(again.DescriptionText->toPlainText(),
                 QStringLiteral("Demo\nline") + QString(70, QLatin1Char(' ')));
        QCOMPARE(again.StartingMacroNum->text(), QStringLiteral("1"));
        QCOMPARE(again.NodeAddress->text(), QStringLiteral("65"));
        QCOMPARE(entries(again.MacroComboList),
                 (QStringList{"* 1  HOME        ", "  2  HOME        "}));
        choose(again.MacroList, 1);
        QCOMPARE(again.MacroText->toPlainText(), QStringLiteral("2 MA 5\nmacro 3"));
        const std::string combo = readBytes(m_fixture->file("ComboDb.Dat"));
        QCOMPARE(combo.substr(36, 10), std::string("Demo\r\nline"));
    }

    void aLineClickedLoadsItsMacroAndTheBoxesKeepLineEnds() {
        const int32_t spaced =
            brindle::testing::addMacro(dir(), "SPACED", "  1 MA 5\rMACRO 6\nX  ");
        brindle::testing::addCombo(dir(), "C", {{2, spaced}}, 65, 3);
        brindle::app::SpecifyTab& t = open();
        choose(t.ComboList, 0);
        QCOMPARE(entries(t.MacroComboList), QStringList{"* 3  SPACED      "});
        t.MacroComboList->setCurrentRow(0);  // as the arrow keys do
        QCOMPARE(t.MacroText->toPlainText(), QStringLiteral("1 MA 5\nMACRO 6\nX"));
        QCOMPARE(t.MacroSizeLabel->text(), QStringLiteral("16 Bytes"));
        QCOMPARE(t.MacroList->currentText(), QStringLiteral("SPACED"));
        // Saved unchanged, the text goes back as it was loaded.
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);
        // The lone LF is warned of; over-write? Yes.
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{2});
        QCOMPARE(readBytes(m_fixture->file("MacroDb.Dat")).substr(24, 20),
                 std::string("1 MA 5\rMACRO 6\nX    "));
        // Changed, every line ends with CR LF.
        t.MacroText->moveCursor(QTextCursor::End);
        QTest::keyClicks(t.MacroText, QStringLiteral("Y"));
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);
        QCOMPARE(readBytes(m_fixture->file("MacroDb.Dat")).substr(24, 20),
                 std::string("1 MA 5\r\nMACRO 6\r\nXY "));
    }

    void deletingATypedCombinationNameRemovesItFromBothLists() {
        brindle::testing::addCombo(dir(), "KEEP");
        brindle::testing::addCombo(dir(), "DROP");
        brindle::app::SpecifyTab& t = open();
        typeInto(t.ComboList->lineEdit(), QStringLiteral("DROP"));
        QTest::mouseClick(t.DeleteCombo, Qt::LeftButton);
        QCOMPARE(entries(t.ComboList), QStringList{"KEEP            "});
        QCOMPARE(entries(window().downloadTab().combinationChoice),
                 QStringList{"KEEP            "});
        QCOMPARE(t.ComboList->currentText(), QString());
        QCOMPARE(store::listComboNames(dir()), std::vector<std::string>{"KEEP            "});
    }

    void deletingAMacroRefillsTheListAndSavingNewOnesAppends() {
        brindle::testing::addMacro(dir(), "A", "MACRO 1");
        brindle::testing::addMacro(dir(), "B", "MACRO 2");
        brindle::app::SpecifyTab& t = open();
        choose(t.MacroList, 0);
        QTest::mouseClick(t.DeleteMacro, Qt::LeftButton);
        QCOMPARE(entries(t.MacroList), QStringList{"B           "});
        QCOMPARE(t.MacroList->currentText(), QString());
        QCOMPARE(t.MacroText->toPlainText(), QString());
        typeInto(t.MacroList->lineEdit(), QStringLiteral("C"));
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);  // warns: no MACRO statement
        QCOMPARE(entries(t.MacroList), (QStringList{"B           ", "C           "}));
        QCOMPARE(t.MacroList->currentText(), QStringLiteral("C"));
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{2});
    }

    void typingAfterChoosingLeavesNoEntryChosen() {
        brindle::testing::addMacro(dir(), "HOME", "MACRO 1");
        brindle::app::SpecifyTab& t = open();
        choose(t.MacroList, 0);
        t.MacroList->lineEdit()->setFocus();
        t.MacroList->lineEdit()->end(false);
        QTest::keyClick(t.MacroList->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(t.MacroList->lineEdit(), QStringLiteral("X"));
        QCOMPARE(t.MacroList->currentIndex(), -1);
        QCOMPARE(t.MacroList->currentText(), QStringLiteral("HOMX"));
    }

    void aFailedWriteIsShownAsACriticalMessage() {
        brindle::app::SpecifyTab& t = open();
        std::filesystem::remove(m_fixture->file("ComboDb.Dat"));
        std::filesystem::create_directory(m_fixture->file("ComboDb.Dat"));
        typeInto(t.ComboList->lineEdit(), QStringLiteral("C"));
        QTest::mouseClick(t.SaveComboCmd, Qt::LeftButton);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        const auto& message = m_fixture->prompter.messages[0];
        QVERIFY(message.text.find("ComboDb.Dat") != std::string::npos);
        QCOMPARE(message.icon, brindle::base::Icon::Critical);
        QCOMPARE(t.ComboList->count(), 0);
        QCOMPARE(window().downloadTab().combinationChoice->count(), 0);
    }

    void theSequenceListsAndTheMacroTextLineUpTheirColumns() {
        brindle::app::SpecifyTab& t = open();
        const QList<const QWidget*> boxes = {t.MacroComboList, t.MacroText,
                                             window().downloadTab().MacrosInCombination};
        for (const QWidget* box : boxes) {
            const QFontMetrics metrics(box->font());
            const int width = metrics.horizontalAdvance(QStringLiteral("* 3  "));
            QCOMPARE(metrics.horizontalAdvance(QStringLiteral("  3  ")), width);
            QCOMPARE(metrics.horizontalAdvance(QStringLiteral("256  ")), width);
            QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiiii")), width);
        }
    }

    // A text with LF line ends near the limit (as add-macro and import store
    // it) is saved unchanged byte for byte; changed so that its CR LF line
    // ends no longer fit, the save is refused and nothing is written.
    void anUnchangedLfTextNearTheLimitIsSavedAsItCame() {
        const std::string text = std::string(9000, 'a') + "\n" + std::string(7325, 'b') + "\nMACRO";
        brindle::testing::addMacro(dir(), "LONG", text);
        brindle::app::SpecifyTab& t = open();
        choose(t.MacroList, 0);
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);  // the LF warning; over-write? Yes
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{2});
        const std::string saved = readBytes(m_fixture->file("MacroDb.Dat"));
        QCOMPARE(saved.substr(24, 16332), text);

        t.MacroText->moveCursor(QTextCursor::End);
        QTest::keyClick(t.MacroText, Qt::Key_Backspace);
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{3});
        QCOMPARE(m_fixture->prompter.messages[2].text,
                 std::string("The macro text would have 16333 characters with each line ending "
                             "in CR LF; a macro holds at most 16332. The macro was not saved."));
        QCOMPARE(readBytes(m_fixture->file("MacroDb.Dat")), saved);
    }

    // Name lines show names without their filling blanks; a name too long
    // for its field is refused, not cut; New puts the cursor in the name
    // line; the size caption follows New, Save and Delete.
    void nameLinesAndTheSizeCaptionFollowWhatTheUserDoes() {
        brindle::testing::addMacro(dir(), "HOME", "MACRO 1");
        brindle::testing::addCombo(dir(), "LINE");
        brindle::app::SpecifyTab& t = open();
        choose(t.ComboList, 0);
        QCOMPARE(t.ComboList->currentText(), QStringLiteral("LINE"));
        choose(t.MacroList, 0);
        QCOMPARE(t.MacroList->currentText(), QStringLiteral("HOME"));
        QCOMPARE(t.MacroSizeLabel->text(), QStringLiteral("7 Bytes"));

        QTest::mouseClick(t.NewMacroCmd, Qt::LeftButton);
        QVERIFY(hasFocus(t.MacroList));
        QCOMPARE(t.MacroSizeLabel->text(), QStringLiteral("0 Bytes"));
        typeInto(t.MacroList->lineEdit(), QStringLiteral("THIRTEEN_CHRS"));
        typeLines(t.MacroText, {QStringLiteral("MACRO 5")});
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        QCOMPARE(m_fixture->prompter.messages[0].text,
                 std::string("The macro name \"THIRTEEN_CHRS\" has 13 characters; a macro name "
                             "holds at most 12. The macro was not saved."));
        QCOMPARE(entries(t.MacroList), QStringList{"HOME        "});
        t.MacroList->setEditText(QStringLiteral("TWELVE_CHARS"));
        QTest::mouseClick(t.SaveMacroCmd, Qt::LeftButton);
        QCOMPARE(t.MacroSizeLabel->text(), QStringLiteral("7 Bytes"));
        QTest::mouseClick(t.NewComboCmd, Qt::LeftButton);
        QVERIFY(hasFocus(t.ComboList));
    }

  private:
    brindle::app::SpecifyTab& open() {
        brindle::app::MainWindow& w = m_fixture->open();
        w.SSTab1()->setCurrentIndex(0);
        w.show();
        return w.specifyTab();
    }
    brindle::app::MainWindow& window() { return *m_fixture->window; }
    const std::string& dir() const { return m_fixture->dir.path(); }

    std::unique_ptr<WindowFixture> m_fixture;
};

QTEST_MAIN(SpecifyTabTest)
#include "macro_entry_tab_test.moc"
