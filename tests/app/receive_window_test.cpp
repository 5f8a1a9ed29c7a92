// The receive window through the window: receiveWindowActive switches it on and sets
// Timer1's interval, the ticks drain what the module says into receiveWindowLines, and
// ClearHistory empties it. The fake module and the ticks run on virtual time.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/text_conversion.h"
#include "tests/app/link_window_fixture.h"

using brindle::testing::hexBytes;
using brindle::testing::LinkWindowFixture;

using brindle::testing::entries;

class ReceiveWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { m_rig = std::make_unique<LinkWindowFixture>(); }
    void cleanup() { m_rig.reset(); }

    void timer1TicksEvery55msUntilCheck1IsClickedThen100msChecked1msUnchecked() {
        m_rig->open();
        QCOMPARE(m_rig->pump.interval(), 55);
        runTicks(3);
        QCOMPARE(m_rig->window().link()->TickCount, int16_t{3});
        // Ticks with the receive window off leave the port closed.
        QVERIFY(!m_rig->window().link()->StartComm);
        QVERIFY(!m_rig->port.PortOpen());

        m_rig->tab().receiveWindowActive->click();
        QCOMPARE(m_rig->pump.interval(), 100);
        QVERIFY(m_rig->window().sharedSignals().ReceiveWindowActive);
        m_rig->tab().receiveWindowActive->click();
        QCOMPARE(m_rig->pump.interval(), 1);
        QVERIFY(!m_rig->window().sharedSignals().ReceiveWindowActive);
    }

    // The operations read the box's state from the line: every change reaches
    // it, and a line attached later takes the box as it is.
    void check1sStateReachesTheLineWhenItChangesAndWhenALineIsAttached() {
        m_rig->windowOnly();
        m_rig->tab().receiveWindowActive->click();
        m_rig->window().attachLink(m_rig->port, m_rig->pump);
        QVERIFY(m_rig->window().link()->lines.ReceiveWindowTicked);
        m_rig->tab().receiveWindowActive->click();
        QVERIFY(!m_rig->window().link()->lines.ReceiveWindowTicked);
        m_rig->tab().receiveWindowActive->click();
        QVERIFY(m_rig->window().link()->lines.ReceiveWindowTicked);
    }

    void theFirstTickWithTheReceiveWindowActiveOpensThePortAndShowsIt() {
        m_rig->open();
        m_rig->tab().receiveWindowActive->click();
        QVERIFY(!m_rig->window().link()->StartComm);
        runTicks(1);
        QVERIFY(m_rig->window().link()->StartComm);
        QVERIFY(m_rig->port.PortOpen());
        QCOMPARE(m_rig->port.settings(), std::string("38400,n,8,1"));
        QCOMPARE(m_rig->window().portStatus()->text(), QStringLiteral("Com1: /dev/ttyS0 open"));
    }

    void linesFromTheModuleShowInList1OnTicksAndClearHistoryEmptiesIt() {
        m_rig->open();
        QListWidget* list1 = m_rig->tab().receiveWindowLines;
        m_rig->tab().receiveWindowActive->click();
        runTicks(1);

        // 'OK' is a short line; the LF it leaves behind starts the next entry.
        m_rig->module.say("OK\r\nVALUE 12\r\n");
        runTicks(2);
        QCOMPARE(entries(list1), (QStringList{"\nVALUE 12<cr>"}));
        QCOMPARE(list1->currentRow(), 0);

        // The 'D' after the first CR is dropped, 'EF' is a short line, and the
        // last CR waits at the front of ReceiveBuffer.
        m_rig->module.say("ABC\rDEF\r");
        runTicks(2);
        QCOMPARE(entries(list1), (QStringList{"\nVALUE 12<cr>", "ABC<cr>"}));
        QCOMPARE(list1->currentRow(), 1);
        QCOMPARE(m_rig->window().link()->lines.ReceiveBuffer, std::string("\r"));

        m_rig->tab().ClearHistory->click();
        QCOMPARE(list1->count(), 0);
        QVERIFY(m_rig->window().link()->lines.ReceiveBuffer.empty());
    }

    void uncheckingCheck1KeepsTheShownLinesAndShowsNoMore() {
        m_rig->open();
        QListWidget* list1 = m_rig->tab().receiveWindowLines;
        m_rig->tab().receiveWindowActive->click();
        runTicks(1);
        m_rig->module.say("FIRST LINE\r\n");
        runTicks(2);
        QCOMPARE(entries(list1), (QStringList{"FIRST LINE<cr>"}));

        m_rig->tab().receiveWindowActive->click();
        m_rig->module.say("LATER LINE\r\n");
        runTicks(5);
        QCOMPARE(entries(list1), (QStringList{"FIRST LINE<cr>"}));
        QVERIFY(m_rig->window().link()->lines.ReceiveBuffer.empty());
    }

    // With receiveWindowActive ticked, a download shows the first line of what it reads
    // through viewbuffer: for a module that echoes, the echo of its frames.
    void aDownloadSwitchesTheReceiveWindowOffWhileItRunsShowsItsLinesAndTurnsItBackOn() {
        brindle::sim::ModuleOptions echoing;
        echoing.echo = true;
        m_rig = std::make_unique<LinkWindowFixture>(echoing);
        const int32_t macro = m_rig->addMacro("ONE", "1 MA 5");
        m_rig->addCombo("C", {{0, macro}}, 1, 1);
        m_rig->open();
        m_rig->tab().receiveWindowActive->click();
        m_rig->chooseCombination(0);
        bool seen = false;
        bool activeDuring = true;
        bool check1EnabledDuring = true;
        m_rig->pump.setIdleHook([&] {
            if (!seen && m_rig->module.writesReceived() >= 2) {
                seen = true;
                activeDuring = m_rig->window().sharedSignals().ReceiveWindowActive;
                check1EnabledDuring = m_rig->tab().receiveWindowActive->isEnabled();
            }
        });
        m_rig->tab().downloadButton->click();
        QCOMPARE(m_rig->prompter().messages.back().text, std::string("Download successful"));
        QVERIFY(seen);
        QVERIFY(!activeDuring);
        QVERIFY(!check1EnabledDuring);
        QVERIFY(m_rig->window().sharedSignals().ReceiveWindowActive);
        QVERIFY(m_rig->tab().receiveWindowActive->isEnabled());
        QVERIFY(m_rig->tab().receiveWindowActive->isChecked());
        const QString writeZ = brindle::app::toQt(hexBytes("23 41 06 57 00 03 5A FB") + "<cr>");
        QVERIFY(entries(m_rig->tab().receiveWindowLines).contains(writeZ));
    }

    // The reply is looked for before viewbuffer takes its line: a module that
    // does not echo has every reply shown, one line a read, and found.
    void withCheck1TickedAModuleThatDoesNotEchoHasItsRepliesShownAndTheDownloadSucceeds() {
        const int32_t macro = m_rig->addMacro("ONE", "1 MA 5");
        m_rig->addCombo("C", {{0, macro}}, 1, 1);
        m_rig->open();
        m_rig->tab().receiveWindowActive->click();
        m_rig->chooseCombination(0);
        m_rig->tab().downloadButton->click();
        QCOMPARE(m_rig->prompter().messages.back().text, std::string("Download successful"));
        QCOMPARE(m_rig->module.eeprom()[3], uint8_t{'X'});
        QCOMPARE(m_rig->eeprom(3586, 7), brindle::testing::hexBytes("31 20 4D 41 20 35 0D"));
        // "Z" and the 4 header bytes, 2 + 12 table and name bytes, 7 image
        // bytes: 26 bytes, each written once and read twice.
        QCOMPARE(m_rig->module.writesReceived(), 26);
        const QStringList shown = entries(m_rig->tab().receiveWindowLines);
        QCOMPARE(shown.size(), 52);
        const QString replyZ = brindle::app::toQt(hexBytes("23 4D 04 52 5A FD") + "<cr>");
        const QString replyX = brindle::app::toQt(hexBytes("23 4D 04 52 58 FB") + "<cr>");
        QCOMPARE(shown.first(), replyZ);
        QCOMPARE(shown.last(), replyX);
    }

  private:
    // Waits, in virtual time, until n more ticks of Timer1 have run.
    void runTicks(int n) {
        const int64_t until = m_rig->pump.ticks() + n;
        while (m_rig->pump.ticks() < until) {
            m_rig->pump.waitForEvent();
        }
    }

    std::unique_ptr<LinkWindowFixture> m_rig;
};

QTEST_MAIN(ReceiveWindowTest)
#include "receive_window_test.moc"
