// Closing the window ends every wait of a running operation at once: the
// download in its quiet probe, in the synchronisation with a talking
// controller and in the middle of its writes, the read-back while the dump
// arrives, a block command while it waits for its confirmation, and the clear
// utility among its locations. The run ends within a tick, nothing more is
// sent, the port is closed and the window goes without a message box.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "app/read_back_tab.h"
#include "link/frames.h"
#include "tests/app/link_window_fixture.h"

using brindle::testing::LinkWindowFixture;

namespace {

struct CloseAt {
    bool done = false;
    int64_t atMicros = 0;
    std::size_t receivedAtClose = 0;
};

}  // namespace

class ShutdownTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { m_rig.reset(); }

    void aCloseDuringTheQuietProbeSendsNothing() {
        startRig({});
        const CloseAt& close = closeWhen([](LinkWindowFixture&) { return true; });
        m_rig->tab().downloadButton->click();
        expectEndedAtOnce(close);
        QVERIFY(m_rig->module.received().empty());
    }

    void aCloseDuringTheSynchronisationSendsNothingMore() {
        brindle::sim::ModuleOptions talking;
        talking.chatterAtStart = true;
        talking.syncReply = brindle::sim::SyncReply::None;
        startRig(talking);
        const CloseAt& close = closeWhen([](LinkWindowFixture& rig) {
            return rig.module.received() == brindle::link::wakeBytes();
        });
        m_rig->tab().downloadButton->click();
        expectEndedAtOnce(close);
        QCOMPARE(m_rig->module.received(), brindle::link::wakeBytes());
    }

    void aCloseDuringTheWritesLeavesTheImageMarkedIncomplete() {
        startRig({});
        m_rig->module.eeprom()[3] = 'X';
        const CloseAt& close =
            closeWhen([](LinkWindowFixture& rig) { return rig.module.writesReceived() >= 20; });
        m_rig->tab().downloadButton->click();
        expectEndedAtOnce(close);
        QCOMPARE(m_rig->module.eeprom()[3], uint8_t{'Z'});
    }

    void aCloseDuringTheReadBackEndsTheReception() {
        startRig({});
        auto& e = m_rig->module.eeprom();
        e[3] = 'X';
        for (int i = 0; i < 2000; ++i) {
            e[3586 + static_cast<std::size_t>(i)] = 'A';
        }
        m_rig->window().SSTab1()->setCurrentIndex(1);
        const CloseAt& close =
            closeWhen([](LinkWindowFixture& rig) { return rig.port.InBufferCount() > 100; });
        m_rig->window().readBackTab().readE2promButton->click();
        expectEndedAtOnce(close);
        // Only the dump request went out: no location was read.
        QCOMPARE(m_rig->module.received(), brindle::link::dumpFrame());
    }

    void aCloseWhileABlockCommandWaitsForItsConfirmationSendsNothingMore() {
        brindle::sim::ModuleOptions silentAfterStart;
        silentAfterStart.silent = true;
        startRig(silentAfterStart);
        m_rig->tab().MacrosInCombination->setCurrentRow(0);
        const CloseAt& close = closeWhen([](LinkWindowFixture& rig) {
            return rig.module.received() == brindle::link::startBlockFrame(7, 1);
        });
        m_rig->tab().ExecuteBlock->click();
        // The reminder came before the run; nothing after the close.
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        m_rig->prompter().messages.clear();
        expectEndedAtOnce(close);
    }

    void aCloseDuringTheClearLeavesTheRestOfTheRangeAlone() {
        startRig({});
        m_rig->tab().LowerFill->setText(QStringLiteral("0"));
        m_rig->tab().UpperFill->setText(QStringLiteral("100"));
        const CloseAt& close =
            closeWhen([](LinkWindowFixture& rig) { return rig.module.writesReceived() >= 5; });
        m_rig->tab().clearEpromButton->click();
        expectEndedAtOnce(close);
        QVERIFY(m_rig->module.writesReceived() <= 6);
    }

    void exitWithoutAnOpenPortLeavesThePortAlone() {
        m_rig = std::make_unique<LinkWindowFixture>();
        m_rig->open();
        m_rig->window().exitcmd()->click();
        QVERIFY(!m_rig->window().isVisible());
        QCOMPARE(m_rig->port.opens(), 0);
        QVERIFY(m_rig->module.received().empty());
    }

  private:
    void startRig(brindle::sim::ModuleOptions options) {
        m_rig = std::make_unique<LinkWindowFixture>(options);
        const int32_t macro = m_rig->addMacro("FIRST", brindle::testing::kWorkedExample);
        m_rig->addCombo("TWO", {{0, macro}, {1, macro}}, 7, 1);
        m_rig->module.eeprom()[0] = 7;
        m_rig->open();
        m_rig->chooseCombination(0);
    }

    template <class Condition>
    CloseAt& closeWhen(Condition condition) {
        m_close = CloseAt{};
        m_rig->pump.setIdleHook([this, condition] {
            if (!m_close.done && condition(*m_rig)) {
                m_close.done = true;
                m_close.atMicros = m_rig->pump.nowMicros();
                m_close.receivedAtClose = m_rig->module.received().size();
                m_rig->window().close();
            }
        });
        return m_close;
    }

    void expectEndedAtOnce(const CloseAt& close) {
        QVERIFY(close.done);
        QVERIFY(!m_rig->window().operationRunning());
        QVERIFY(!m_rig->window().isVisible());
        QVERIFY(!m_rig->port.PortOpen());
        QVERIFY(m_rig->prompter().messages.empty());
        // Within one tick of the close.
        QVERIFY(m_rig->pump.nowMicros() - close.atMicros <= m_rig->pump.effectiveIntervalMicros());
        // Nothing went out after the close.
        QCOMPARE(m_rig->module.received().size(), close.receivedAtClose);
    }

    std::unique_ptr<LinkWindowFixture> m_rig;
    CloseAt m_close;
};

QTEST_MAIN(ShutdownTest)
#include "shutdown_test.moc"
