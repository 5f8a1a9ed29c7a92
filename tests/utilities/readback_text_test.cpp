#include "utilities/readback_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/utilities/dump_reply.h"
#include "utilities/dump_reception.h"

using namespace brindle::utilities;
using namespace std::string_literals;
using brindle::testing::dumpReply;

namespace {

ReplyText received(const std::string& reply) {
    DumpReception reception;
    reception.receive(reply);
    return reception.reply();
}

struct ShownCase {
    const char* name;
    std::string reply;
    std::string shown;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const ShownCase& c, std::ostream* os) {
    *os << c.name;
}

class ShownText : public ::testing::TestWithParam<ShownCase> {};

}  // namespace

TEST_P(ShownText, fromTheDumpReply) {
    EXPECT_EQ(readbackText(received(GetParam().reply)), GetParam().shown);
}

// Offsets in the images: "A\r" is 0-1, "GOTO" hi lo "\r" then 2-8, and so on;
// location 3586 + n is hi lo of offset n (0E 02 = 0, 0E 0B = 9, 80 00 = 29182).
INSTANTIATE_TEST_SUITE_P(
    Readback, ShownText,
    ::testing::Values(
        ShownCase{"gotoTo3586IsOffset0", dumpReply("GOTO\x0E\x02\r"), "\r\n0:\r\nGOTO0\r\n"},
        ShownCase{"restOfAGotoLineGoes", dumpReply("1 GOTO\x0E\x02 X\r"), "\r\n0:\r\n1 GOTO0\r\n"},
        ShownCase{"targetsBelow3586StayAsReceived", dumpReply("GOTO\x0E\x01\rGOTO\x00\x05\r"s),
                  "GOTO\x0E\x01\r\nGOTO\x00\x05\r\n"s},
        ShownCase{"lowerCaseGotoIsNoJump", dumpReply("goto\x0E\x02\r"), "goto\x0E\x02\r\n"},
        ShownCase{"sameTargetTwiceGetsOneLabel", dumpReply("1 MA 5\rGOTO\x0E\x02\rGOTO\x0E\x02\r"),
                  "\r\n0:\r\n1 MA 5\r\nGOTO0\r\nGOTO0\r\n"},
        // Forward to 13, the CR of "CD", and back to 9, the start of "B".
        ShownCase{"forwardAndBackward", dumpReply("A\rGOTO\x0E\x0F\rB\rCD\rGOTO\x0E\x0B\r"),
                  "A\r\nGOTO13\r\n\r\n9:\r\nB\r\n\r\n13:\r\nCD\r\nGOTO9\r\n"},
        ShownCase{"twoLabelsBeforeOneLineInJumpOrder",
                  dumpReply("CD\rGOTO\x0E\x03\rGOTO\x0E\x02\r"),
                  "\r\n1:\r\n\r\n0:\r\nCD\r\nGOTO1\r\nGOTO0\r\n"},
        ShownCase{"emptyLineIsNoPlaceForALabel", dumpReply("A\r\rGOTO\x0E\x02\r"),
                  "\r\n0:\r\nA\r\n\r\nGOTO0\r\n"},
        // 0E 0A = 8 is the final CR: still inside the last line.
        ShownCase{"lastOffsetIsInTheLastLine", dumpReply("A\rGOTO\x0E\x0A\r"),
                  "A\r\n\r\n8:\r\nGOTO8\r\n"},
        ShownCase{"pastTheImageAtTheEnd", dumpReply("A\rGOTO\x0E\x0B\r"),
                  "A\r\nGOTO9\r\n\r\n9:\r\n"},
        ShownCase{"highByteIsUnsigned", dumpReply("GOTO\x80\x00\r"s),
                  "GOTO29182\r\n\r\n29182:\r\n"},
        // Without an LF in its header the first image line is taken for it.
        ShownCase{"offsetBeforeEveryLine", dumpReply("A\rB\rGOTO\x0E\x02\r", "DUMP"),
                  "\r\n0:\r\nB\r\nGOTO0\r\n"},
        ShownCase{"headerLinesAfterTheFirstStay", dumpReply("A\rGOTO\x0E\x02\r", "DUMP\rX\r"),
                  "X\r\n\r\n0:\r\nA\r\nGOTO0\r\n"},
        // A module that echoes the dump frame (23 41 04 45 32 BC 0D) first:
        // the header dropped is its own line after the echo.
        ShownCase{"echoGoesWithTheHeader",
                  dumpReply("A\rB\r",
                            "#A\x04"
                            "E2\xBC\rDUMP\r"),
                  "A\r\nB\r\n"},
        ShownCase{"blankModuleThatEchoes",
                  "#A\x04"
                  "E2\xBC\rDUMP\rBLANK\r",
                  "BLANK\r\n"},
        ShownCase{"echoAloneFails",
                  "#A\x04"
                  "E2\xBC\r",
                  "Read Failed"},
        ShownCase{"replyWithoutLfKeepsItsHeader", "DUMP", "DUMP\r\n"},
        ShownCase{"blankModule", "DUMP\rBLANK\r", "BLANK\r\n"},
        ShownCase{"threeCharactersAreShown", "DUMP\rX", "X\r\n"},
        ShownCase{"twoCharactersFail", "DUMP\r\r", "Read Failed"},
        ShownCase{"headerOnlyFails", "DUMP\r", "Read Failed"},
        ShownCase{"nothingFails", "", "Read Failed"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(WithoutHeader, removesUpToTheFirstLfWithItsOffsets) {
    ReplyText reply = withoutHeader({"H\r\nA\nB", {-1, -1, -1, 0, 1, 2}});
    EXPECT_EQ(reply.text, "A\nB");
    EXPECT_EQ(reply.offsets, (std::vector<int32_t>{0, 1, 2}));
}

TEST(RewriteJumps, numbersOnlyGotosWithBothAddressBytesInTheirLine) {
    // 0E 0D is cut by its own low byte, a CR; the last GOTO by the text's end.
    JumpLines lines =
        rewriteJumps(withoutHeader(received(dumpReply("GOTO\x0E\x0D\rGOTO\x0E\x07\rGOTO\x0E"))));
    EXPECT_EQ(lines.text, "GOTO\x0E\r\n\r\nGOTO5\r\nGOTO\x0E\r\n");
    EXPECT_EQ(lines.gotoCount, 1);
    ASSERT_EQ(lines.jumps.size(), 1u);
    EXPECT_EQ(lines.jumps[0].number, 1);
    EXPECT_EQ(lines.jumps[0].offset, 5);
}

TEST(RewriteJumps, labelsOnlyThe99FirstJumps) {
    // Line n (offset 7 n) jumps to itself.
    std::string image;
    for (int n = 0; n < 100; ++n) {
        const int location = 3586 + 7 * n;
        image +=
            "GOTO"s + static_cast<char>(location / 256) + static_cast<char>(location % 256) + '\r';
    }
    JumpLines lines = rewriteJumps(withoutHeader(received(dumpReply(image))));
    EXPECT_EQ(lines.gotoCount, 100);
    ASSERT_EQ(lines.jumps.size(), 99u);
    EXPECT_EQ(lines.jumps.back().number, 99);
    EXPECT_EQ(lines.jumps.back().offset, 686);

    const std::string shown = insertLabels(lines, labelTargets(lines.jumps));
    EXPECT_NE(shown.find("\r\n686:\r\nGOTO686\r\nGOTO693\r\n"), std::string::npos);
    EXPECT_EQ(shown.find("693:"), std::string::npos);
}
