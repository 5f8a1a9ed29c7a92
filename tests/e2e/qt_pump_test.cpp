// The Qt event-loop pump on the real clock: ticks are counted against it, a
// wait of n ticks wakes the program once, and ticks that fell due while the
// program was busy all run when it next yields. Only lower bounds of time are
// asserted, so a busy machine cannot make these fail.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#include "link/qt/qt_pump.h"
#include "tests/e2e/qt_link_fixture.h"

namespace brindle::testing {
namespace {

struct CountingPump {
    CountingPump() {
        qtApplication();
        pump.setTickHandler([this] { ++ticks; });
        pump.setInterval(1);
    }
    link::qt::QtPump pump;
    int ticks = 0;
};

TEST(QtPump, aWaitOfThirtyTicksWakesOnceAndRunsEachTick) {
    CountingPump c;
    const int64_t start = c.pump.nowMicros();
    c.pump.restartTicks();
    int wakes = 0;
    while (c.ticks < 30) {
        c.pump.waitForEventOrTicks(30 - c.ticks);
        ++wakes;
    }
    const int64_t elapsed = c.pump.nowMicros() - start;
    EXPECT_LE(wakes, 3);  // nothing else happens here; a stray event at most
    EXPECT_GE(elapsed, 30 * 1000);
    EXPECT_LE(c.ticks, elapsed / 1000);
}

TEST(QtPump, ticksThatFellDueWhileTheProgramWasBusyRunAtTheNextYield) {
    CountingPump c;
    c.pump.restartTicks();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(c.ticks, 0);
    c.pump.doEvents();
    EXPECT_GE(c.ticks, 20);
}

TEST(QtPump, ticksKeepComingWhileNothingWaits) {
    CountingPump c;
    QEventLoop loop;
    QTimer::singleShot(60, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_GE(c.ticks, 20);
}

// Without idle ticks nothing wakes the program between waits; the ticks that
// fell due run at the next yield, at most the last thousand of them.
TEST(QtPump, withoutIdleTicksNoneRunUntilTheNextYield) {
    CountingPump c;
    c.pump.setIdleTicks(false);
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(c.ticks, 0);
    c.pump.doEvents();
    EXPECT_GE(c.ticks, 30);
}

// After an idle spell a yield runs only the last thousand ticks that fell
// due, on a clock moved on by hand.
TEST(QtPump, afterAnIdleSpellAYieldRunsTheLastThousandTicks) {
    qtApplication();
    int64_t now = 0;
    link::qt::QtPump pump([&now] { return now; });
    int ticks = 0;
    pump.setTickHandler([&ticks] { ++ticks; });
    pump.setIdleTicks(false);
    pump.setInterval(1);

    now += 999;
    pump.doEvents();
    EXPECT_EQ(ticks, 0);

    now += 1'500'000 - 999;
    pump.doEvents();
    EXPECT_EQ(ticks, 1000);

    // The next yield runs only what fell due since.
    now += 2'000;
    pump.doEvents();
    EXPECT_EQ(ticks, 1002);
}

TEST(QtPump, aWaitStillRunsItsTicksWithoutIdleTicks) {
    CountingPump c;
    c.pump.setIdleTicks(false);
    c.pump.restartTicks();
    const auto start = std::chrono::steady_clock::now();
    while (c.ticks < 5 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        c.pump.waitForEventOrTicks(5 - c.ticks);
    }
    // A wake-up that comes late (a busy machine) runs every tick that fell
    // due meanwhile, so there may be more than the five waited for.
    EXPECT_GE(c.ticks, 5);
}

TEST(QtPump, restartingBeginsAWholeTickFromNow) {
    CountingPump c;
    c.pump.setInterval(100);
    std::this_thread::sleep_for(std::chrono::milliseconds(70));
    c.pump.restartTicks();
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    c.pump.doEvents();
    EXPECT_EQ(c.ticks, 0);  // 110 ms in all, but only 40 since the restart
}

}  // namespace
}  // namespace brindle::testing
