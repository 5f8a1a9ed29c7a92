// The window on the program's own port and timer adapters: Timer1 ticks
// through the Qt event loop, and a port that cannot be opened is shown with
// its reason. The data folder's "com1" points nowhere, so no real device is
// touched.
#include <QCheckBox>
#include <QLabel>
#include <QtTest>
#include <filesystem>

#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "tests/app/window_fixture.h"

using brindle::testing::WindowFixture;

class QtLinkWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_port = std::make_unique<brindle::link::qt::QtSerialPort>();
        m_pump = std::make_unique<brindle::link::qt::QtPump>();
        m_fixture = std::make_unique<WindowFixture>();
        std::filesystem::create_symlink(m_fixture->file("missing-device"), m_fixture->file("com1"));
        m_fixture->open().attachLink(*m_port, *m_pump);
    }
    void cleanup() {
        m_fixture.reset();  // the window goes before its port and timer
        m_pump.reset();
        m_port.reset();
    }

    // While the receive window is off nothing needs a tick between
    // operations, so none wakes the program; ticking receiveWindowActive starts them (at
    // 100 ms) through the event loop, unticking it stops them again.
    void anAttachedLineHasTheFixedValuesAndIsNotOpenedYet() {
        const brindle::link::LinkContext& ctx = *m_fixture->window->link();
        QCOMPARE(ctx.ReadSettleTicks, int16_t{1});
        QCOMPARE(ctx.WriteSettleTicks, int16_t{1});
        QCOMPARE(ctx.RetryLimit, int16_t{40});
        QCOMPARE(ctx.WakeUpLimit, int16_t{4});
        QCOMPARE(ctx.settings.port, int16_t{1});
        QCOMPARE(ctx.settings.baud, 38400);
        QVERIFY(!ctx.StartComm);
    }

    void timer1TicksThroughTheEventLoopOnlyWhileTheReceiveWindowIsActive() {
        QCOMPARE(m_pump->interval(), 55);
        auto& state = *m_fixture->window->link();
        QTest::qWait(200);
        QCOMPARE(state.TickCount, int16_t{0});
        QVERIFY(!state.StartComm);
        m_fixture->window->downloadTab().receiveWindowActive->click();
        QTRY_VERIFY_WITH_TIMEOUT(state.TickCount >= 2, 2000);
        m_fixture->window->downloadTab().receiveWindowActive->click();
        const int16_t ticks = state.TickCount;
        QTest::qWait(200);
        QCOMPARE(state.TickCount, ticks);
    }

    void aPortThatCannotBeOpenedIsShownWithItsReasonAfterTheFirstActiveTick() {
        auto& window = *m_fixture->window;
        window.downloadTab().receiveWindowActive->click();
        QCOMPARE(m_pump->interval(), 100);
        QTRY_VERIFY_WITH_TIMEOUT(window.link()->StartComm, 2000);
        const QString expected =
            QString::fromStdString("Com1: " + m_fixture->file("com1") + " closed (");
        QVERIFY2(window.portStatus()->text().startsWith(expected),
                 qPrintable(window.portStatus()->text()));
        QVERIFY(!m_port->PortOpen());
    }

  private:
    std::unique_ptr<brindle::link::qt::QtSerialPort> m_port;
    std::unique_ptr<brindle::link::qt::QtPump> m_pump;
    std::unique_ptr<WindowFixture> m_fixture;
};

QTEST_MAIN(QtLinkWindowTest)
#include "qt_link_window_test.moc"
