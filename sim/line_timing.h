#pragma once
// When the bytes of a paced serial line reach the other end.
#include <cstdint>
#include <vector>

namespace brindle::sim {

// Ten bits a byte at baud, rounded up so that the simulated line is never
// faster than a real one; 0 when the line is not paced.
int64_t byteMicros(int32_t baud);

// When each of count bytes sent back to back from start (one every step)
// reaches the program through a UART's receive FIFO of fifoBytes: with the
// last byte of its group of fifoBytes, or with the last of the count. The
// FIFO's own timeout is not added.
std::vector<int64_t> handOverTimes(int64_t start, std::size_t count, int64_t step, int fifoBytes);

}  // namespace brindle::sim
