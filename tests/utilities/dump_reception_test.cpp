#include "utilities/dump_reception.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/utilities/dump_reply.h"

using namespace brindle::utilities;
using namespace std::string_literals;
using brindle::testing::dumpReply;

namespace {

DumpReception received(const std::string& reply) {
    DumpReception reception;
    reception.receive(reply);
    return reception;
}

struct ReceptionCase {
    const char* name;
    std::string reply;
    std::string text;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const ReceptionCase& c, std::ostream* os) {
    *os << c.name;
}

class ReceptionText : public ::testing::TestWithParam<ReceptionCase> {};

}  // namespace

TEST_P(ReceptionText, keepsTheStoredBytesAndAddsAnLfAfterEveryCr) {
    EXPECT_EQ(received(GetParam().reply).text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    DumpReception, ReceptionText,
    ::testing::Values(
        ReceptionCase{"blankModule", "DUMP\rBLANK\r", "DUMP\r\nBLANK\r\n"},
        ReceptionCase{"simulatorFillers", dumpReply("AR\rO"), "DUMP\r\nAR\r\nO"},
        ReceptionCase{"fillersGoByPositionNotValue", "DUMP\rRA.B.C", "DUMP\r\nABC"},
        ReceptionCase{"macroNumberAfterItsFiller", dumpReply("MACRO\x02\r"), "DUMP\r\nMACRO 2\r\n"},
        ReceptionCase{"macroNumberInAnyCase", dumpReply("mAcRo\x05"), "DUMP\r\nmAcRo 5"},
        ReceptionCase{"macroNumberTenBringsNoLf", dumpReply("MACRO\x0A\r"), "DUMP\r\nMACRO 10\r\n"},
        ReceptionCase{"macroNumberThirteenBringsAnLf", dumpReply("MACRO\x0D\r"),
                      "DUMP\r\nMACRO 13\n\r\n"},
        // Before the first 'R' every byte is kept, so the byte converted is
        // the second after "macro": here the first 'R', dropped all the same.
        ReceptionCase{"convertedByteThatIsThenDropped", "macroXRA", "macroX 82A"},
        ReceptionCase{"crFillerStillBringsItsLf", "RA\rB", "A\nB"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(DumpReception, givesEachCharacterTheOffsetOfItsStoredByte) {
    DumpReception reception = received(dumpReply("A\rMACRO\x02"));
    EXPECT_EQ(reception.text(), "DUMP\r\nA\r\nMACRO 2");
    const std::vector<int32_t> header(6, -1);
    std::vector<int32_t> expected = header;
    for (int32_t offset : {0, 1, 1, 2, 3, 4, 5, 6, 7, 7}) {
        expected.push_back(offset);
    }
    EXPECT_EQ(reception.offsets(), expected);
}

TEST(DumpReception, givesNoOffsetToWhatDroppedBytesBring) {
    EXPECT_EQ(received("macroXRA").offsets(),
              (std::vector<int32_t>{-1, -1, -1, -1, -1, -1, -1, -1, -1, 0}));
    EXPECT_EQ(received("RA\rB").offsets(), (std::vector<int32_t>{0, -1, 1}));
}

TEST(DumpReception, countsPositionsBeyond32767) {
    const std::string image(40000, 'x');
    DumpReception reception = received(dumpReply(image, ""));
    EXPECT_EQ(reception.text(), image);
    EXPECT_EQ(reception.offsets().back(), 39999);
}
