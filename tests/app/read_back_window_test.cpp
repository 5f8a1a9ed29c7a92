// The Read back tab against the fake Macro Module on virtual time: Read
// E2prom, the header fields shown by a read and hidden when the tab is left,
// Clear All, Save to File, a busy controller and closing during a read.
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include "tests/app/link_window_fixture.h"

using brindle::base::Icon;
using brindle::testing::LinkWindowFixture;
using brindle::testing::readBytes;
using brindle::testing::toHex;

namespace {

constexpr int kReadBackTab = 1;
const std::string kShownBytes =
    "\r\n0:\r\n1 MA 1000\r\nGOTO0\r\nMACRO 2\r\n\r\n24:\r\n2 MA 7\r\nGOTO24\r\n";

brindle::sim::ModuleOptions talking() {
    brindle::sim::ModuleOptions o;
    o.chatterAtStart = true;
    return o;
}

}  // namespace

class ReadBackWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { m_rig = std::make_unique<LinkWindowFixture>(); }
    void cleanup() { m_rig.reset(); }

    void readShowsTheTextInColumnsAndTheHeaderWhileReadingSaysSo() {
        storeDownload();
        auto& tab = openOnReadBack();
        bool readingShownDuringDump = false;
        m_rig->pump.setIdleHook([&] {
            if (m_rig->module.received().size() == 7) {
                readingShownDuringDump = readingShownDuringDump || tab.readingNote->isVisible();
            }
        });
        tab.readE2promButton->click();
        QVERIFY(readingShownDuringDump);
        QVERIFY(!tab.readingNote->isVisible());
        QCOMPARE(tab.e2promText(), kShownBytes);
        QCOMPARE(tab.e2promTextBox->toPlainText(),
                 QStringLiteral("\n0:\n1 MA 1000\nGOTO0\nMACRO 2\n\n24:\n2 MA 7\nGOTO24\n"));
        // Columns line up: narrow and wide letters take the same room.
        const QFontMetrics metrics(tab.e2promTextBox->font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii1")),
                 metrics.horizontalAdvance(QStringLiteral("MMMM ")));
        QVERIFY(tab.e2promTextBox->isReadOnly());
        QCOMPARE(tab.macroIdBox->text(), QStringLiteral(" 7"));
        QCOMPARE(tab.bootMacroBox->text(), QStringLiteral(" 3"));
        QCOMPARE(tab.macroCountBox->text(), QStringLiteral(" 2"));
        for (QWidget* w : headerWidgets(tab)) {
            QVERIFY(w->isVisible());
        }
        QVERIFY(m_rig->prompter().messages.empty());
        QCOMPARE(readBytes(m_rig->dataDir() + "e2read.tmp"),
                 std::string("1 MA 1000\r\nGOTO0\r\nMACRO 2\r\n2 MA 7\r\nGOTO24\r\n"));
    }

    void leavingTheTabHidesTheHeaderFieldsAndClearAllOnlyEmptiesThem() {
        storeDownload();
        auto& tab = openOnReadBack();
        tab.readE2promButton->click();
        tab.clearAllButton->click();
        QCOMPARE(tab.e2promText(), std::string());
        QVERIFY(tab.e2promTextBox->toPlainText().isEmpty());
        for (QLineEdit* field : {tab.macroIdBox, tab.bootMacroBox, tab.macroCountBox}) {
            QVERIFY(field->text().isEmpty());
            QVERIFY(field->isVisible());
        }
        m_rig->window().SSTab1()->setCurrentIndex(0);
        m_rig->window().SSTab1()->setCurrentIndex(kReadBackTab);
        for (QWidget* w : headerWidgets(tab)) {
            QVERIFY(w->isHidden());
        }
        // The next read shows them again.
        tab.readE2promButton->click();
        QVERIFY(tab.macroIdBox->isVisible());
    }

    void saveToFileWritesTheTextAsShownByteForByte() {
        storeDownload();
        auto& tab = openOnReadBack();
        tab.readE2promButton->click();
        const std::string path = m_rig->dataDir() + "saved.txt";
        tab.askFileName = [&] { return QString::fromStdString(path); };
        tab.saveToFileButton->click();
        QCOMPARE(readBytes(path), kShownBytes);
        QVERIFY(m_rig->prompter().messages.empty());
    }

    void saveBeforeAReadAsksForOneAndACancelledDialogWritesNothing() {
        auto& tab = openOnReadBack();
        int asked = 0;
        tab.askFileName = [&] {
            ++asked;
            return QString();
        };
        tab.saveToFileButton->click();
        QCOMPARE(asked, 0);
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("Please read E2prom before saving!"));
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Critical);

        storeDownload();
        tab.readE2promButton->click();
        m_rig->prompter().messages.clear();
        tab.saveToFileButton->click();
        QCOMPARE(asked, 1);
        QVERIFY(m_rig->prompter().messages.empty());
    }

    void aBusyControllerIsReportedAndTheFieldsStayHidden() {
        m_rig = std::make_unique<LinkWindowFixture>(talking());
        auto& tab = openOnReadBack();
        tab.readE2promButton->click();
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages[0].text,
                 std::string(23, ' ') +
                     "Macro Executing !\r\nUse 'Cancel Execution' button in Download menu.");
        QVERIFY(m_rig->module.received().empty());
        QVERIFY(tab.macroIdBox->isHidden());
        QVERIFY(!tab.readingNote->isVisible());
    }

    void withoutALinkTheReadSaysThePortIsNotAvailable() {
        m_rig->windowOnly();
        m_rig->window().SSTab1()->setCurrentIndex(kReadBackTab);
        m_rig->window().readBackTab().readE2promButton->click();
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("The serial port is not available."));
    }

    void closingTheWindowDuringAReadEndsItAndClosesTheWindow() {
        storeDownload(std::string(3000, 'A'));
        auto& tab = openOnReadBack();
        bool closedAtOnce = true;
        m_rig->pump.setIdleHook([&] {
            if (m_rig->port.InBufferCount() > 100 && m_rig->window().isVisible()) {
                closedAtOnce = m_rig->window().close();
            }
        });
        tab.readE2promButton->click();
        QVERIFY(!closedAtOnce);
        QVERIFY(!m_rig->window().isVisible());
        // The four location reads were not sent.
        QCOMPARE(m_rig->module.received().size(), std::size_t{7});
    }

    // Cancel shows only while "Reading E2prom..." does; it, or Esc, ends the
    // read within a tick: nothing more is sent and the fields show what a
    // read without an answer shows.
    void cancelOrEscEndsTheReadAndShowsAFailedRead_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Esc") << true;
    }
    void cancelOrEscEndsTheReadAndShowsAFailedRead() {
        QFETCH(bool, escape);
        storeDownload(std::string(3000, 'A'));
        auto& tab = openOnReadBack();
        // Shortcuts reach an active window only.
        m_rig->window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_rig->window()));
        QVERIFY(tab.readCancelButton->isHidden());
        QVERIFY(!tab.readCancelButton->toolTip().isEmpty());
        int64_t pressedAt = -1;
        bool shownWithTheNote = false;
        m_rig->pump.setIdleHook([&] {
            if (pressedAt < 0 && m_rig->port.InBufferCount() > 100) {
                shownWithTheNote =
                    tab.readingNote->isVisible() && tab.readCancelButton->isVisible();
                pressedAt = m_rig->pump.nowMicros();
                if (escape) {
                    QWidget* focus = QApplication::focusWidget();
                    QTest::keyClick(focus != nullptr ? focus : &tab, Qt::Key_Escape);
                } else {
                    QTest::mouseClick(tab.readCancelButton, Qt::LeftButton);
                }
            }
        });
        tab.readE2promButton->click();
        QVERIFY(shownWithTheNote);
        QVERIFY(m_rig->pump.nowMicros() - pressedAt <= m_rig->pump.effectiveIntervalMicros());
        QCOMPARE(toHex(m_rig->module.received()), std::string("23 41 04 45 32 BC 0D"));
        QVERIFY(tab.readCancelButton->isHidden());
        QVERIFY(tab.readingNote->isHidden());
        QCOMPARE(tab.e2promTextBox->toPlainText(), QStringLiteral("Read Failed"));
        QCOMPARE(tab.macroIdBox->text(), QString());
        QCOMPARE(tab.bootMacroBox->text(), QStringLiteral("Read Failed"));
        QCOMPARE(tab.macroCountBox->text(), QStringLiteral("Read Failed"));
        QVERIFY(m_rig->prompter().messages.empty());
    }

  private:
    void storeDownload(const std::string& images = brindle::testing::kWorkedExampleImage +
                                                   brindle::testing::kSecondMacroImage) {
        auto& e = m_rig->module.eeprom();
        e[0] = 7;
        e[1] = 3;
        e[2] = 2;
        e[3] = 'X';
        for (std::size_t i = 0; i < images.size(); ++i) {
            e[3586 + i] = static_cast<uint8_t>(images[i]);
        }
    }
    brindle::app::ReadBackTab& openOnReadBack() {
        m_rig->open();
        m_rig->window().SSTab1()->setCurrentIndex(kReadBackTab);
        return m_rig->window().readBackTab();
    }
    static std::vector<QWidget*> headerWidgets(brindle::app::ReadBackTab& tab) {
        return {tab.macroIdBox,   tab.bootMacroBox,   tab.macroCountBox,
                tab.macroIdLabel, tab.bootMacroLabel, tab.macroCountLabel};
    }

    std::unique_ptr<LinkWindowFixture> m_rig;
};

QTEST_MAIN(ReadBackWindowTest)
#include "read_back_window_test.moc"
