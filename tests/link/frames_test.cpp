#include "link/frames.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace brindle::link {
namespace {

using testing::toHex;

TEST(Frames, writeOfZToLocationThreeIsTheDocumentedNineBytes) {
    EXPECT_EQ(toHex(writeFrame(3, 'Z')), "23 41 06 57 00 03 5A FB 0D");
}

TEST(Frames, readOfLocationThreeIsEightBytes) {
    EXPECT_EQ(toHex(readFrame(3)), "23 41 05 52 00 03 9B 0D");
}

TEST(Frames, readReplyCarriesTheModuleAddressAndTheValue) {
    EXPECT_EQ(toHex(readReply('Z')), "23 4D 04 52 5A FD 0D");
}

TEST(Frames, locationOf3586IsSentHighByteFirst) {
    EXPECT_EQ(toHex(readFrame(3586)), "23 41 05 52 0E 02 A8 0D");
    EXPECT_EQ(toHex(writeFrame(3586, 0)), "23 41 06 57 0E 02 00 AE 0D");
}

TEST(Frames, highestLocationAndHighValuesWrapTheChecksum) {
    EXPECT_EQ(toHex(writeFrame(32767, 0xFF)), "23 41 06 57 7F FF FF 1B 0D");
    EXPECT_EQ(toHex(readFrame(32767)), "23 41 05 52 7F FF 16 0D");
}

TEST(Frames, replyWhoseChecksumIsCarriageReturnEndsInTwoCRs) {
    EXPECT_EQ(toHex(readReply(0x6A)), "23 4D 04 52 6A 0D 0D");
}

TEST(Frames, syncDumpAndCancelFramesAreTheFixedBytes) {
    EXPECT_EQ(toHex(syncFrame()), "23 4D 03 58 A8 0D");
    EXPECT_EQ(toHex(dumpFrame()), "23 41 04 45 32 BC 0D");
    EXPECT_EQ(toHex(startBlockFrame(65, 0)), "23 41 04 53 00 98 0D");
    EXPECT_EQ(toHex(startBlockFrame(7, 3)), "23 07 04 53 03 61 0D");
}

TEST(Frames, checksumSumsTheBodyOnlyModulo256) {
    EXPECT_EQ(checksum(""), 0);
    EXPECT_EQ(checksum(std::string("\xFF\x02", 2)), 1);
    EXPECT_EQ(toHex(frame("AB")), "23 41 42 83 0D");
}

TEST(Frames, blockConfirmationIsBlankBBlankAndTheDigit) {
    EXPECT_EQ(blockConfirmation(3), " B 3");
    EXPECT_EQ(blockConfirmation(0), " B 0");
    EXPECT_EQ(wakeBytes(), "\r\r");
}

}  // namespace
}  // namespace brindle::link
