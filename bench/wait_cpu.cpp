// How much processor time the program uses while it waits for ticks: a
// 2-second wait on the Qt pump at 1 ms (the interval a download runs at) and
// at the 55 ms start-up interval. Reports figures only.
#include <sys/resource.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "link/qt/qt_pump.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void measure(const char* label, int intervalMs) {
    brindle::link::qt::QtPump pump;
    long ticks = 0;
    pump.setTickHandler([&] { ++ticks; });
    pump.setInterval(intervalMs);

    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    const auto end = start + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        pump.waitForEvent();
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf(
        "%-34s tick %5.1f ms  %6.0f ticks/s  cpu %6.3f s of %5.3f s = %5.2f %% of one core\n",
        label, pump.effectiveIntervalMicros() / 1000.0, ticks / wall, cpu, wall,
        100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    measure("1 ms (receive window unticked)", 1);
    measure("55 ms (start-up interval)", 55);
    return 0;
}
