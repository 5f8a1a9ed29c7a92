#include "utilities/read_reply.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace brindle::utilities;
using namespace std::string_literals;

TEST(ReadReplyValue, isTheByteAfterTheLastMarkerThatHasOne) {
    const struct {
        std::string received;
        std::optional<uint8_t> value;
    } cases[] = {
        {"#M\x04R\x07\xA1\r"s, 7},        {"STATUS 0001\r\n#M\x04R\xFF\x99\r"s, 255},
        {"#M\x04R\r\xA7\r"s, 13},         {"M\x04R\x01M\x04R\x02"s, 2},
        {"#M\x04R"s, std::nullopt},       {"#M\x05R\x07\xA2\r"s, std::nullopt},
        {"#m\x04r\x07"s, std::nullopt},   {""s, std::nullopt},
        {"#M\x04R\x05\x9D\r#M\x04R"s, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readReplyValue(c.received), c.value) << ::testing::PrintToString(c.received);
    }
}

TEST(FieldText, isABlankAndTheDecimalValue) {
    EXPECT_EQ(fieldText(7), " 7");
    EXPECT_EQ(fieldText(0), " 0");
    EXPECT_EQ(fieldText(255), " 255");
}
