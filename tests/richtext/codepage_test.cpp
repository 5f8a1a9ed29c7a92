#include "richtext/codepage.h"

#include <gtest/gtest.h>

#include <string>

#include "richtext/utf8.h"
#include "tests/support/temp_dir.h"

namespace {

using brindle::richtext::CodePage;

struct PageCase {
    int number;
    const char* bytes;  // hex
    const char* text;   // UTF-8
};

std::string decodeAll(CodePage& page, const std::string& bytes) {
    std::string text;
    for (const char byte : bytes) {
        if (const auto character = page.decode(static_cast<unsigned char>(byte))) {
            brindle::richtext::appendUtf8(text, *character);
        }
    }
    if (const auto cut = page.flush()) {
        brindle::richtext::appendUtf8(text, *cut);
    }
    return text;
}

std::string encodeAll(CodePage& page, const std::string& text) {
    std::string bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto decoded = brindle::richtext::decodeUtf8(text, at);
        bytes += page.encode(decoded.codePoint).value_or("<none>");
        at += decoded.length;
    }
    return bytes;
}

class RichTextCodePages : public ::testing::TestWithParam<PageCase> {};

// The bytes read as the text, and the text written back as the same bytes.
TEST_P(RichTextCodePages, decodeAndEncodeByteExact) {
    const PageCase& c = GetParam();
    CodePage page(c.number);
    const std::string bytes = brindle::testing::hexBytes(c.bytes);
    EXPECT_EQ(decodeAll(page, bytes), c.text);
    EXPECT_EQ(brindle::testing::toHex(encodeAll(page, c.text)), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, RichTextCodePages,
    ::testing::Values(PageCase{1251, "CF F0 E8 E2 E5 F2 20 A8 B8 88", "Привет Ёё€"},
                      PageCase{1252, "63 61 66 E9 20 80 85 9F", "café €…Ÿ"},
                      PageCase{28591, "93 E9 FF", "\u0093éÿ"}, PageCase{1253, "C1 E2 E3", "Αβγ"},
                      PageCase{1250, "8A E8 F9", "Ščů"}, PageCase{20866, "F0 D2 C9", "При"},
                      PageCase{932, "82 A0 93 FA 96 7B 41", "あ日本A"},
                      PageCase{936, "D6 D0 CE C4", "中文"},
                      PageCase{65001, "D0 9F E2 82 AC", "П€"}));

TEST(RichTextCodePage, takesWindows1252ForAPageTheLibraryDoesNotKnowOrNotAsAscii) {
    CodePage unknown(12345);
    EXPECT_EQ(unknown.number(), 1252);
    EXPECT_EQ(decodeAll(unknown, "\x80"), "€");
    EXPECT_EQ(CodePage(1251).number(), 1251);
    // EBCDIC does not read RTF's own ASCII as ASCII.
    EXPECT_EQ(CodePage(500).number(), 1252);
}

TEST(RichTextCodePage, givesReplacementForUndefinedAndCutShortBytes) {
    CodePage windows1252(1252);
    EXPECT_EQ(decodeAll(windows1252, "a\x81z"), "a\uFFFDz");
    CodePage shiftJis(932);
    // A lead byte without its trail byte.
    EXPECT_EQ(decodeAll(shiftJis, "\x82"), "\uFFFD");
    EXPECT_EQ(decodeAll(shiftJis, "A"), "A") << "nothing held over";
}

}  // namespace
