#pragma once
// Crash points for the fault-injection tests. A build made with the CMake
// option BRINDLE_FAULT_POINTS numbers every moment at which a crash could
// interrupt a change to a file (before creating, writing, renaming, cutting
// or removing one, and in the middle of a write); when the environment holds
// BRINDLE_FAULT_AT=n the process kills itself with SIGKILL at the n-th. The
// middle of a write is where the kernel itself may cut a write short when
// SIGKILL arrives while it copies the pages: a first part is written
// (BRINDLE_FAULT_PART eighths of it, 1 to 7, half by default), then the
// process dies. When BRINDLE_FAULT_COUNT_FILE names a file, a process
// that exits writes the number of points it passed into it. Every other
// build compiles these calls to nothing.
#include <cstddef>

namespace brindle::base {

#ifdef BRINDLE_FAULT_POINTS

// A crash point before a change to a file.
void faultPoint();
// Before a write of `size` bytes: how many of them to write. At the chosen
// point that is a part of them, and faultAfterWrite() then ends the process.
std::size_t faultWriteSize(std::size_t size);
void faultAfterWrite();

#else

inline void faultPoint() {}
inline std::size_t faultWriteSize(std::size_t size) {
    return size;
}
inline void faultAfterWrite() {}

#endif

}  // namespace brindle::base
