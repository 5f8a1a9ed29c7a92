#include "utilities/read_reply.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/temp_dir.h"

using namespace brindle::utilities;

// Frames written out as hex: 23 4D 04 52 value cs 0D, cs = 4D + 04 + 52 + value.
TEST(ReadReplyValue, isTheValueOfTheLastWholeReplyFrameWithARightChecksum) {
    const struct {
        std::string hex;
        std::optional<uint8_t> value;
    } cases[] = {
        {"23 4D 04 52 07 AA 0D", 7},
        {"53 54 0D 0A 23 4D 04 52 FF A2 0D", 255},  // after a chatter line
        {"23 4D 04 52 0D B0 0D", 13},               // a value that is CR
        {"23 4D 04 52 6A 0D 0D", 0x6A},             // a checksum that is CR
        // The echo of the read frame before the reply.
        {"23 41 05 52 00 00 98 0D 23 4D 04 52 41 E4 0D", 0x41},
        // A late reply, then this read's own.
        {"23 4D 04 52 01 A4 0D 23 4D 04 52 02 A5 0D", 2},
        // This read's reply is broken: the late one before it is not taken.
        {"23 4D 04 52 01 A4 0D 23 4D 04 52 FB E5 0D", std::nullopt},
        {"23 4D 04 52 41 E5 0D", std::nullopt},  // checksum off by one
        {"23 4D 04 52 FB E4 0D", std::nullopt},  // the value changed on the line
        {"23 4D 04 52 41 E4", std::nullopt},     // no CR
        {"23 4D 04 52 41 E4 0A", std::nullopt},  // LF where the CR belongs
        {"23 4D 04 52 41", std::nullopt},        // cut after the value
        {"23 4D 04 52", std::nullopt},
        {"4D 04 52 41 E4 0D", std::nullopt},     // no '#'
        {"23 4D 05 52 41 E5 0D", std::nullopt},  // another length
        {"23 6D 04 72 41 24 0D", std::nullopt},  // lower case
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readReplyValue(brindle::testing::hexBytes(c.hex)), c.value) << c.hex;
    }
}

TEST(FieldText, isABlankAndTheDecimalValue) {
    EXPECT_EQ(fieldText(7), " 7");
    EXPECT_EQ(fieldText(0), " 0");
    EXPECT_EQ(fieldText(255), " 255");
}
