#include "richtext/codepage.h"

#include <gtest/gtest.h>

namespace {

using brindle::richtext::CodePage;
using brindle::richtext::codePageFromNumber;
using brindle::richtext::decodeByte;
using brindle::richtext::encodeWindows1252;

struct ByteCase {
    unsigned char byte;
    char32_t windows1252;
    char32_t latin1;
};

class RichTextCodePageBytes : public ::testing::TestWithParam<ByteCase> {};

TEST_P(RichTextCodePageBytes, decodeToTheirCharacters) {
    const ByteCase& c = GetParam();
    EXPECT_EQ(decodeByte(CodePage::Windows1252, c.byte), c.windows1252);
    EXPECT_EQ(decodeByte(CodePage::Latin1, c.byte), c.latin1);
}

INSTANTIATE_TEST_SUITE_P(Samples, RichTextCodePageBytes,
                         ::testing::Values(ByteCase{'A', U'A', U'A'}, ByteCase{0x80, U'€', 0x80},
                                           ByteCase{0x85, U'…', 0x85}, ByteCase{0x8A, U'Š', 0x8A},
                                           ByteCase{0x91, U'‘', 0x91}, ByteCase{0x93, U'“', 0x93},
                                           ByteCase{0x96, U'–', 0x96}, ByteCase{0x97, U'—', 0x97},
                                           ByteCase{0x99, U'™', 0x99}, ByteCase{0x9F, U'Ÿ', 0x9F},
                                           ByteCase{0xA0, 0xA0, 0xA0}, ByteCase{0xE9, U'é', U'é'},
                                           ByteCase{0xFF, U'ÿ', U'ÿ'}));

TEST(RichTextCodePage, leavesTheUndefinedWindows1252BytesAsC1Controls) {
    for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(decodeByte(CodePage::Windows1252, byte), char32_t{byte}) << int{byte};
    }
}

TEST(RichTextCodePage, encodesEveryWindows1252CharacterBackToItsByte) {
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t character =
            decodeByte(CodePage::Windows1252, static_cast<unsigned char>(byte));
        EXPECT_EQ(encodeWindows1252(character), static_cast<unsigned char>(byte)) << byte;
    }
}

TEST(RichTextCodePage, cannotEncodeCharactersOutsideWindows1252) {
    for (const char32_t character :
         {char32_t{0x80}, char32_t{0x9F}, U'Ω', char32_t{0x20AD}, U'😀'}) {
        EXPECT_FALSE(encodeWindows1252(character)) << static_cast<unsigned>(character);
    }
}

TEST(RichTextCodePage, picksLatin1Only28591AndFallsBackToWindows1252) {
    EXPECT_EQ(codePageFromNumber(28591), CodePage::Latin1);
    EXPECT_EQ(codePageFromNumber(1252), CodePage::Windows1252);
    EXPECT_EQ(codePageFromNumber(1251), CodePage::Windows1252);
    EXPECT_EQ(codePageFromNumber(0), CodePage::Windows1252);
    EXPECT_EQ(codePageFromNumber(-28591), CodePage::Windows1252);
}

}  // namespace
