#include "base/fault_points.h"

#ifdef BRINDLE_FAULT_POINTS

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace brindle::base {
namespace {

int g_passed = 0;
bool g_cutShort = false;

// At exit, the number of points passed goes to the file that
// BRINDLE_FAULT_COUNT_FILE names, so that a test knows where a run can stop.
void reportCount() {
    if (const char* path = std::getenv("BRINDLE_FAULT_COUNT_FILE")) {
        if (std::FILE* file = std::fopen(path, "w")) {
            std::fprintf(file, "%d\n", g_passed);
            std::fclose(file);
        }
    }
}

// The chosen point, 0 for none; read once.
int chosenPoint() {
    static const int chosen = [] {
        std::atexit(reportCount);
        const char* text = std::getenv("BRINDLE_FAULT_AT");
        return text != nullptr ? std::atoi(text) : 0;
    }();
    return chosen;
}

[[noreturn]] void die() {
    ::kill(::getpid(), SIGKILL);
    ::_exit(137);  // not reached: SIGKILL cannot be caught
}

}  // namespace

void faultPoint() {
    const int chosen = chosenPoint();
    if (++g_passed == chosen) {
        die();
    }
}

std::size_t faultWriteSize(std::size_t size) {
    const int chosen = chosenPoint();
    if (++g_passed != chosen) {
        return size;
    }
    if (size < 2) {
        die();  // nothing to cut
    }
    g_cutShort = true;
    // BRINDLE_FAULT_PART eighths of it (1 to 7, half when not given), so that
    // trials can see different parts of one write done.
    const char* text = std::getenv("BRINDLE_FAULT_PART");
    const int part = std::clamp(text != nullptr ? std::atoi(text) : 4, 1, 7);
    return std::max<std::size_t>(1, size * static_cast<std::size_t>(part) / 8);
}

void faultAfterWrite() {
    if (g_cutShort) {
        die();
    }
}

}  // namespace brindle::base

#endif
