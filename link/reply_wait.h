#pragma once
// How long the link waits for the module's reply to a read frame. The wait
// ends as soon as the expected reply is complete; when no reply comes, it
// lasts its ticks, and never less than the bound: the bytes that may still be
// on the line take to cross it, plus the module's turnaround.
//
// The bytes counted are the write frame sent just before the read (both may
// still sit in a UART's FIFO, which OutBufferCount cannot see), the read
// frame and the reply: 9 + 8 + 7 bytes of 10 bits.
#include <cstdint>

namespace brindle::link {

inline constexpr int kReplyLineBytes = 9 + 8 + 7;
// From a read frame's arrival to its reply's first byte, storing the byte
// written just before included (an E2PROM byte takes up to 10 ms), with room
// for a busy machine. Only a reply that never comes waits this long.
inline constexpr int kReplyTurnaroundMicros = 20000;

// The bound at a line speed; the turnaround alone when the speed is unknown.
int64_t replyBoundMicros(int32_t baud);

// The ticks a wait for a reply lasts when no reply comes: settleTicks, or
// more when that many ticks of intervalMicros would end before the bound.
int16_t replyWaitTicks(int16_t settleTicks, int32_t baud, int intervalMicros);

}  // namespace brindle::link
