// Broken input: the reader finishes, keeps what it can and still returns a
// canonical document (one that survives a write and read).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "richtext/reader.h"
#include "richtext/utf8.h"
#include "richtext/writer.h"
#include "tests/richtext/document_printing.h"

namespace {

using namespace brindle::richtext;
using TextRun = brindle::richtext::Run;
using Runs = std::vector<TextRun>;
using brindle::testing::paragraphTexts;
using Texts = std::vector<std::string>;

// The paragraphs' text, separated by a CR (which text never holds).
std::string allText(const Document& document) {
    std::string text;
    for (const std::string& paragraph : paragraphTexts(document)) {
        text += (text.empty() ? "" : "\r") + paragraph;
    }
    return text;
}

void expectCanonical(const Document& document) {
    for (const Paragraph& paragraph : document.paragraphs) {
        for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
            const TextRun& run = paragraph.runs[i];
            EXPECT_FALSE(run.text.empty());
            EXPECT_TRUE(isValidUtf8(run.text));
            EXPECT_TRUE(i == 0 || !(paragraph.runs[i - 1].format == run.format));
            EXPECT_TRUE(document.fonts.empty() ||
                        (run.format.font >= 0 &&
                         static_cast<std::size_t>(run.format.font) < document.fonts.size()));
            EXPECT_GE(run.format.colour, 0);
            EXPECT_LE(static_cast<std::size_t>(run.format.colour), document.colours.size());
        }
    }
    EXPECT_EQ(readRtf(writeRtf(document)), document);
}

TEST(RtfMalformed, everyPrefixOfADocumentReadsAsAPrefixOfItsText) {
    Document full;
    full.fonts = {{"Arial", FontFamily::Swiss}};
    full.colours = {{1, 2, 3}};
    full.paragraphs = {
        Paragraph{Alignment::Centre,
                  {{"Title ", Format{.bold = true, .fontSize = 32}}, {"{x}", Format{.colour = 1}}}},
        Paragraph{},
        Paragraph{Alignment::Left, {{"a\tb\nc \\ d", Format{.italic = true, .underline = true}}}}};
    const std::string written = writeRtf(full);
    const std::string fullText = allText(readRtf(written));
    // Anything shorter than "{\rtf" is not RTF.
    for (std::size_t length = 5; length <= written.size(); ++length) {
        const Document document = readRtf(written.substr(0, length));
        const std::string text = allText(document);
        EXPECT_TRUE(fullText.starts_with(text)) << length << ": " << text;
        expectCanonical(document);
    }
}

TEST(RtfMalformed, truncatedEscapesGiveNothing) {
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\'")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\'4")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\'zzb}")), Texts{"azzb"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\b")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\u")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\u-")), Texts{"a-"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\u55357")), Texts{"a\uFFFD"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf")), Texts{});
}

TEST(RtfMalformed, unbalancedBracesKeepTheTextSoFar) {
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a}}}} b")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\par b} c}")), (Texts{"a", "b"}));
    const Document unclosed = readRtf("{\\rtf1 {\\b a {\\i b");
    ASSERT_EQ(unclosed.paragraphs.size(), 1u);
    EXPECT_EQ(unclosed.paragraphs[0].runs,
              (Runs{{"a ", Format{.bold = true}}, {"b", Format{.bold = true, .italic = true}}}));
}

TEST(RtfMalformed, deepNestingIsReadWithoutExhaustingTheStack) {
    constexpr int kLevels = 100000;
    const std::string open(kLevels, '{');
    const std::string close(kLevels, '}');
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 " + open + "deep" + close + " after}")),
              Texts{"deep after"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 " + open + "never closed")), Texts{"never closed"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 {\\*\\x " + open + "hidden" + close + "}seen}")),
              Texts{"seen"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a" + close + close + "b}")), Texts{"a"});
}

TEST(RtfMalformed, formatsSetFarBelowTheDepthLimitEndWithTheirGroups) {
    constexpr int kLevels = 5000;
    const std::string open(kLevels, '{');
    const std::string close(kLevels, '}');
    const Document document = readRtf("{\\rtf1 \\i " + open + "\\b x{\\ul y}z" + close + "w}");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    const Runs& runs = document.paragraphs[0].runs;
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().text.front(), 'x');
    EXPECT_TRUE(runs.front().format.bold);
    EXPECT_EQ(runs.back(), (TextRun{"w", Format{.italic = true}}));
    EXPECT_EQ(plainText(document.paragraphs[0]), "xyzw");
}

TEST(RtfMalformed, binaryDataStopsAtTheEndOfTheInput) {
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\bin999999999 xyz")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\bin99999999999999999999 xyz}")), Texts{"a"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\bin-5 b}")), Texts{"ab"});
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a{\\pict\\bin2 }}}b}")), Texts{"ab"});
}

TEST(RtfMalformed, hugeUnicodeValuesGiveTheReplacementCharacter) {
    for (const char* escape : {"\\u99999999999?", "\\u-99999999999?", "\\u1114112?",
                               "\\u2147483647?", "\\u-2147483648?"}) {
        EXPECT_EQ(paragraphTexts(readRtf(std::string("{\\rtf1 ") + escape + "x}")),
                  Texts{"\uFFFDx"})
            << escape;
    }
}

TEST(RtfMalformed, hugeParametersAreClamped) {
    const Document document = readRtf(
        "{\\rtf1{\\fonttbl{\\f0 A;}}{\\colortbl;\\red1\\green1\\blue1;}"
        "\\f99999999999999\\cf-99999999999\\fs99999999999 x"
        "{\\uc99999999999\\u233 abcdef}g}");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(plainText(document.paragraphs[0]), "x\xC3\xA9g");
    const Format& format = document.paragraphs[0].runs.at(0).format;
    EXPECT_EQ(format.font, 0);
    EXPECT_EQ(format.colour, 0);
    EXPECT_EQ(format.fontSize, 3276);  // 1638 pt
    expectCanonical(document);
}

TEST(RtfMalformed, veryLongControlWordsAreIgnored) {
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a\\" + std::string(100000, 'b') + " c}")),
              Texts{"ac"});
}

TEST(RtfMalformed, destinationWordsOutsideTheirGroupsDoNotHideTheDocument) {
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 \\*\\info a\\fonttbl b}")), Texts{"ab"});
}

TEST(RtfMalformed, zeroBytesAndOtherControlBytesAreDropped) {
    const std::string input(
        "{\\rtf1 a\0b\x1B"
        "c\x7F}",
        12);
    EXPECT_EQ(paragraphTexts(readRtf(input)), Texts{"abc"});
}

TEST(RtfMalformed, manyParagraphsAndGroupsStayLinear) {
    std::string input = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i) {
        input += "{\\b x}\\par ";
    }
    input += "}";
    const Document document = readRtf(input);
    EXPECT_EQ(document.paragraphs.size(), 100000u);
}

TEST(RtfMalformed, randomBytesAfterTheHeaderGiveACanonicalDocument) {
    std::mt19937 random(20240314);
    const std::string alphabet = "{}\\\\\\'*;?-0123456789abfiqrsulpcdtn \r\n\x80\xE9\xFF\t";
    for (int round = 0; round < 300; ++round) {
        std::string input = "{\\rtf1 ";
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            input += round % 2 == 0 ? alphabet[random() % alphabet.size()]
                                    : static_cast<char>(random() % 256);
        }
        const Document document = readRtf(input);
        expectCanonical(document);
        if (::testing::Test::HasFailure()) {
            FAIL() << "round " << round;
        }
    }
}

}  // namespace
