#include "base/fault_points.h"

#ifdef BRINDLE_FAULT_POINTS

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

namespace brindle::base {
namespace {

int g_passed = 0;
bool g_cutShort = false;

// The chosen point, 0 for none; read once.
int chosenPoint() {
    static const int chosen = [] {
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
    if (++g_passed == chosenPoint()) {
        die();
    }
}

std::size_t faultWriteSize(std::size_t size) {
    if (++g_passed != chosenPoint()) {
        return size;
    }
    if (size < 2) {
        die();  // nothing to cut in half
    }
    g_cutShort = true;
    return size / 2;
}

void faultAfterWrite() {
    if (g_cutShort) {
        die();
    }
}

int faultPointsPassed() {
    return g_passed;
}

}  // namespace brindle::base

#endif
