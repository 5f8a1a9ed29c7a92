#pragma once
// The shortest tick the link allows at a line speed. A wait of one tick after
// a read frame must cover the frame still leaving the port (the UART's FIFO is
// not counted by OutBufferCount), the module's 7-byte reply coming back and
// the module's turnaround: 15 bytes of 10 bits on the line plus 1 ms.
#include <cstdint>

namespace brindle::link {

inline constexpr int kTurnaroundMicros = 1000;
inline constexpr int kFloorBytes = 15;

// 0 when the speed is unknown or not positive: no floor.
int tickFloorMicros(int32_t baud);

// The interval a tick really has: the one asked for, stretched to the floor.
int effectiveIntervalMicros(int askedMilliseconds, int32_t baud);

}  // namespace brindle::link
