#include "sim/line_timing.h"

#include <gtest/gtest.h>

namespace brindle::sim {
namespace {

TEST(LineTiming, aByteIsTenBitsRoundedUpToAWholeMicrosecond) {
    EXPECT_EQ(byteMicros(9600), 1042);  // 1041.7
    EXPECT_EQ(byteMicros(38400), 261);  // 260.4
    EXPECT_EQ(byteMicros(115200), 87);  // 86.8
    EXPECT_EQ(byteMicros(10000), 1000);
    EXPECT_EQ(byteMicros(0), 0);
}

// A 7-byte reply through an 8-byte FIFO arrives whole with its last byte; a
// longer answer in groups of 8 and a last, shorter group.
TEST(LineTiming, bytesReachTheProgramWithTheLastOfTheirFifoGroup) {
    struct Case {
        std::size_t count;
        int fifo;
        std::vector<int64_t> times;
    };
    for (const Case& c : std::vector<Case>{
             {7, 8, {1700, 1700, 1700, 1700, 1700, 1700, 1700}},
             {10, 8, {1800, 1800, 1800, 1800, 1800, 1800, 1800, 1800, 2000, 2000}},
             {3, 1, {1100, 1200, 1300}},  // a FIFO of one: each byte as it comes
             {3, 0, {1100, 1200, 1300}},
             {0, 8, {}},
         }) {
        EXPECT_EQ(handOverTimes(1000, c.count, 100, c.fifo), c.times)
            << c.count << " bytes, FIFO " << c.fifo;
    }
}

}  // namespace
}  // namespace brindle::sim
