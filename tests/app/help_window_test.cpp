// The help window through the main window's Help button: the help file shown
// as formatted text, edits saved back whole, closing without saving.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "app/help_window.h"
#include "tests/app/window_fixture.h"

using brindle::base::Icon;
using brindle::testing::readBytes;
using brindle::testing::WindowFixture;
using brindle::testing::writeBytes;

class HelpWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_fixture = std::make_unique<WindowFixture>();
        writeBytes(helpFile(),
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Sans;}}\\b Download\\b0  writes.\\par}");
        m_fixture->open();
    }
    void cleanup() { m_fixture.reset(); }

    void helpShowsTheFileAsFormattedTextInOneWindow() {
        brindle::app::HelpWindow* help = openHelp();
        QCOMPARE(help->windowTitle(), QStringLiteral("Help on Brindle Downloader"));
        QCOMPARE(help->documentEditor->toPlainText(), QStringLiteral("Download writes."));
        QTextCursor cursor(help->documentEditor->document());
        cursor.setPosition(2);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        cursor.setPosition(12);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
        // A second click only brings the same window to the front.
        QCOMPARE(openHelp(), help);
    }

    void savedEditsAreShownAfterClosingAndReopening() {
        brindle::app::HelpWindow* help = openHelp();
        help->documentEditor->setPlainText(QStringLiteral("Short."));
        help->saveChangesButton->click();
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        QCOMPARE(m_fixture->prompter.messages[0].text, std::string("changes saved"));
        QCOMPARE(m_fixture->prompter.messages[0].icon, Icon::Information);
        const std::string saved = readBytes(helpFile());
        QVERIFY(saved.rfind("{\\rtf1", 0) == 0);
        QVERIFY(saved.find("writes") == std::string::npos);
        help->close();
        QTRY_VERIFY(m_fixture->window->helpWindow() == nullptr);
        QCOMPARE(openHelp()->documentEditor->toPlainText(), QStringLiteral("Short."));
    }

    void closingWithoutSavingKeepsTheFileAsItWas() {
        const std::string before = readBytes(helpFile());
        brindle::app::HelpWindow* help = openHelp();
        help->documentEditor->setPlainText(QStringLiteral("Not kept."));
        help->close();
        QTRY_VERIFY(m_fixture->window->helpWindow() == nullptr);
        QCOMPARE(readBytes(helpFile()), before);
        QCOMPARE(openHelp()->documentEditor->toPlainText(), QStringLiteral("Download writes."));
    }

    void aFailedSaveSaysWhyAndNeverSaysSaved() {
        brindle::app::HelpWindow* help = openHelp();
        // A folder in the file's place cannot be replaced.
        std::filesystem::remove(helpFile());
        std::filesystem::create_directory(helpFile());
        help->documentEditor->setPlainText(QStringLiteral("Lost?"));
        help->saveChangesButton->click();
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        QCOMPARE(m_fixture->prompter.messages[0].icon, Icon::Critical);
        QVERIFY(m_fixture->prompter.messages[0].text != "changes saved");
        QVERIFY(help->statusLine()->isVisibleTo(help));
        QVERIFY(std::filesystem::is_directory(helpFile()));
        // The edits are still there to be saved elsewhere or again.
        QCOMPARE(help->documentEditor->toPlainText(), QStringLiteral("Lost?"));
    }

    void aHelpFileThatCannotBeReadShowsAnEmptyDocumentAndWhy() {
        std::filesystem::remove(helpFile());
        std::filesystem::create_directory(helpFile());
        brindle::app::HelpWindow* help = openHelp();
        QCOMPARE(help->documentEditor->toPlainText(), QString());
        QVERIFY(help->statusLine()->isVisibleTo(help));
        QVERIFY(help->statusLine()->text().contains(QStringLiteral("helpmacro.rtf")));
    }

    void aMissingHelpFileIsCreatedEmpty() {
        std::filesystem::remove(helpFile());
        QCOMPARE(openHelp()->documentEditor->toPlainText(), QString());
        QVERIFY(std::filesystem::exists(helpFile()));
    }

    // With real message boxes: "changes saved" is a box over the help window,
    // so answering it leaves the help window in front of the main window.
    void theSavedMessageBelongsToTheHelpWindow() {
        brindle::app::WindowOptions options;
        options.drives = m_fixture->drives;
        m_fixture->window =
            std::make_unique<brindle::app::MainWindow>(m_fixture->dir.path(), options);
        m_fixture->window->show();
        brindle::app::HelpWindow* help = openHelp();
        QWidget* owner = nullptr;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr) {
                owner = box->parentWidget();
                text = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        help->saveChangesButton->click();
        QCOMPARE(text, QStringLiteral("changes saved"));
        QCOMPARE(owner, static_cast<QWidget*>(help));
    }

    void theHelpWindowGoesWithTheMainWindow() {
        QPointer<brindle::app::HelpWindow> help = openHelp();
        m_fixture->window.reset();
        QVERIFY(help.isNull());
    }

  private:
    std::string helpFile() const { return m_fixture->file("helpmacro.rtf"); }
    brindle::app::HelpWindow* openHelp() {
        m_fixture->window->helpcmd()->click();
        brindle::app::HelpWindow* help = m_fixture->window->helpWindow();
        if (help == nullptr) {
            QTest::qFail("no help window", __FILE__, __LINE__);
        }
        return help;
    }

    std::unique_ptr<WindowFixture> m_fixture;
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
