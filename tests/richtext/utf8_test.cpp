#include "richtext/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using brindle::richtext::appendUtf8;
using brindle::richtext::decodeUtf8;
using brindle::richtext::isValidUtf8;

struct Utf8Case {
    char32_t codePoint;
    std::string bytes;
};

class RichTextUtf8RoundTrip : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(RichTextUtf8RoundTrip, encodesAndDecodesTheSameBytes) {
    std::string out;
    appendUtf8(out, GetParam().codePoint);
    EXPECT_EQ(out, GetParam().bytes);
    const auto decoded = decodeUtf8(out, 0);
    EXPECT_EQ(decoded.codePoint, GetParam().codePoint);
    EXPECT_EQ(decoded.length, GetParam().bytes.size());
}

INSTANTIATE_TEST_SUITE_P(EveryLength, RichTextUtf8RoundTrip,
                         ::testing::Values(Utf8Case{U'A', "A"}, Utf8Case{0x7F, "\x7F"},
                                           Utf8Case{U'é', "\xC3\xA9"}, Utf8Case{0x7FF, "\xDF\xBF"},
                                           Utf8Case{U'€', "\xE2\x82\xAC"},
                                           Utf8Case{0xFFFD, "\xEF\xBF\xBD"},
                                           Utf8Case{U'😀', "\xF0\x9F\x98\x80"},
                                           Utf8Case{0x10FFFF, "\xF4\x8F\xBF\xBF"}));

TEST(RichTextUtf8, writesTheReplacementCharacterForSurrogatesAndTooLargeValues) {
    for (const char32_t bad : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
        std::string out;
        appendUtf8(out, bad);
        EXPECT_EQ(out, "\xEF\xBF\xBD");
    }
}

TEST(RichTextUtf8, refusesMalformedSequencesOneByteAtATime) {
    const std::string malformed[] = {
        "\x80",              // lone continuation
        "\xC3",              // cut short
        "\xC0\xAF",          // overlong
        "\xE0\x80\xAF",      // overlong
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xFF",              // never a lead byte
        "\xE2\x28\xA1",      // bad continuation
    };
    for (const std::string& bytes : malformed) {
        const auto decoded = decodeUtf8(bytes, 0);
        EXPECT_EQ(decoded.codePoint, 0xFFFDu);
        EXPECT_EQ(decoded.length, 1u);
        EXPECT_FALSE(isValidUtf8(bytes));
    }
}

TEST(RichTextUtf8, acceptsWellFormedTextIncludingAGenuineReplacementCharacter) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain ASCII"));
    EXPECT_TRUE(isValidUtf8("Caf\xC3\xA9 \xEF\xBF\xBD \xF0\x9F\x98\x80"));
}

}  // namespace
