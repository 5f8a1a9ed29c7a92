// What the reader makes of each construct, one at a time, inside a minimal
// document.
#include "richtext/reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/richtext/document_printing.h"

namespace {

using namespace brindle::richtext;
using TextRun = brindle::richtext::Run;
using Runs = std::vector<TextRun>;
using brindle::testing::paragraphTexts;
using Texts = std::vector<std::string>;

Document rtf(const std::string& body) {
    return readRtf("{\\rtf1\\ansi " + body + "}");
}

// The text of a document that should hold exactly one paragraph.
std::string onlyText(const Document& document) {
    EXPECT_EQ(document.paragraphs.size(), 1u);
    return document.paragraphs.empty() ? "" : plainText(document.paragraphs.front());
}

Runs runsOf(const Document& document) {
    EXPECT_EQ(document.paragraphs.size(), 1u);
    return document.paragraphs.empty() ? Runs{} : document.paragraphs.front().runs;
}

TEST(RtfReader, readsTextIntoOneParagraphInTheDefaultFormat) {
    const Document document = rtf("Hello world");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(document.paragraphs[0].alignment, Alignment::Left);
    EXPECT_EQ(document.paragraphs[0].runs, (Runs{{"Hello world", Format{}}}));
    EXPECT_EQ(Format{}.fontSize, 24) << "12 pt";
}

TEST(RtfReader, endsAParagraphAtEachParAndKeepsEmptyOnes) {
    EXPECT_EQ(paragraphTexts(rtf("a\\par\\par b\\par")), (Texts{"a", "", "b"}));
    EXPECT_EQ(paragraphTexts(rtf("a\\par b")), (Texts{"a", "b"}));
    EXPECT_EQ(paragraphTexts(rtf("a\\sect b")), (Texts{"a", "b"}));
    // Page and column breaks separate paragraphs too.
    EXPECT_EQ(paragraphTexts(rtf("a\\page b\\column c")), (Texts{"a", "b", "c"}));
    EXPECT_EQ(paragraphTexts(rtf("a\\par\\page b")), (Texts{"a", "", "b"}));
    EXPECT_EQ(paragraphTexts(rtf("")), Texts{});
}

TEST(RtfReader, takesABackslashBeforeALineEndAsAParagraphEnd) {
    EXPECT_EQ(paragraphTexts(rtf("a\\\nb\\\r\nc")), (Texts{"a", "b", "c"}));
}

TEST(RtfReader, ignoresLineEndsInTheSourceButKeepsLiteralTabs) {
    EXPECT_EQ(onlyText(rtf("one\r\ntwo\nthree\rfour\tfive")), "onetwothreefour\tfive");
}

TEST(RtfReader, restoresTheFormatAtTheEndOfAGroup) {
    EXPECT_EQ(runsOf(rtf("{\\b bold {\\i both} bold} plain")),
              (Runs{{"bold ", Format{.bold = true}},
                    {"both", Format{.bold = true, .italic = true}},
                    {" bold", Format{.bold = true}},
                    {" plain", Format{}}}));
}

TEST(RtfReader, swallowsOnlyOneDelimitingSpace) {
    EXPECT_EQ(runsOf(rtf("\\b  x")), (Runs{{" x", Format{.bold = true}}}));
    EXPECT_EQ(runsOf(rtf("\\fs20x")), (Runs{{"x", Format{.fontSize = 20}}}));
}

struct FormatCase {
    const char* words;
    Format expected;
};

class RtfFormatWords : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RtfFormatWords, setTheRunFormat) {
    const Document document = rtf(std::string(GetParam().words) + " x");
    EXPECT_EQ(runsOf(document), (Runs{{"x", GetParam().expected}})) << GetParam().words;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RtfFormatWords,
    ::testing::Values(FormatCase{"\\b", {.bold = true}}, FormatCase{"\\b1", {.bold = true}},
                      FormatCase{"\\b\\b0", {}}, FormatCase{"\\i", {.italic = true}},
                      FormatCase{"\\i\\i0", {}}, FormatCase{"\\ul", {.underline = true}},
                      FormatCase{"\\ul\\ulnone", {}}, FormatCase{"\\ul\\ul0", {}},
                      FormatCase{"\\uldb", {.underline = true}},
                      FormatCase{"\\ulwave", {.underline = true}}, FormatCase{"\\ulw\\ulnone", {}},
                      FormatCase{"\\fs36", {.fontSize = 36}}, FormatCase{"\\fs36\\fs", {}},
                      FormatCase{"\\fs0", {}}, FormatCase{"\\fs-8", {}},
                      FormatCase{"\\fs1", {.fontSize = 1}},
                      FormatCase{"\\fs99999999999", {.fontSize = 3276}},  // 1638 pt
                      FormatCase{"\\b\\i\\ul\\fs40\\plain", {}},
                      FormatCase{"\\b\\strike\\scaps\\lang1033\\nosupersub", {.bold = true}}));

TEST(RtfReader, readsControlSymbolsAsTheirCharacters) {
    EXPECT_EQ(onlyText(rtf("a\\\\b\\{c\\}d")), "a\\b{c}d");
    EXPECT_EQ(onlyText(rtf("no\\~break soft\\-hyphen non\\_breaking")),
              "no\u00A0break soft\u00ADhyphen non\u2011breaking");
    EXPECT_EQ(onlyText(rtf("a\\:b\\|c")), "abc");
}

struct CharacterCase {
    const char* word;
    const char* utf8;
};

class RtfCharacterWords : public ::testing::TestWithParam<CharacterCase> {};

TEST_P(RtfCharacterWords, standForTheirCharacters) {
    EXPECT_EQ(onlyText(rtf(std::string("<") + GetParam().word + ">")),
              std::string("<") + GetParam().utf8 + ">");
}

INSTANTIATE_TEST_SUITE_P(
    Table, RtfCharacterWords,
    ::testing::Values(CharacterCase{"\\emdash ", "—"}, CharacterCase{"\\endash ", "–"},
                      CharacterCase{"\\bullet ", "•"}, CharacterCase{"\\lquote ", "‘"},
                      CharacterCase{"\\rquote ", "’"}, CharacterCase{"\\ldblquote ", "“"},
                      CharacterCase{"\\rdblquote ", "”"}, CharacterCase{"\\emspace ", "\u2003"},
                      CharacterCase{"\\enspace ", "\u2002"}, CharacterCase{"\\tab ", "\t"},
                      CharacterCase{"\\line ", "\n"}, CharacterCase{"\\softline ", "\n"},
                      CharacterCase{"\\zwj ", "\u200D"}));

TEST(RtfReader, decodesHexEscapesAsWindows1252ByDefault) {
    EXPECT_EQ(onlyText(rtf("caf\\'e9 \\'93q\\'94 \\'80\\'85")), "café “q” €…");
    EXPECT_EQ(onlyText(rtf("\\'C9T\\'C9")), "ÉTÉ");
}

TEST(RtfReader, decodesRawBytesAboveAsciiThroughTheCodePage) {
    EXPECT_EQ(onlyText(rtf("caf\xE9 \x80")), "café €");
}

TEST(RtfReader, decodesTextInTheDocumentsCodePage) {
    EXPECT_EQ(onlyText(readRtf("{\\rtf1\\ansi\\ansicpg28591 \\'93\\'e9}")), "\u0093é");
    const Document cyrillic = readRtf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8 \xE2\xE5\xF2}");
    EXPECT_EQ(onlyText(cyrillic), "При вет");
    EXPECT_EQ(cyrillic.codePage, 1251);
    // A double-byte character in two escapes; an unknown page reads as 1252.
    EXPECT_EQ(onlyText(readRtf("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}")), "日本");
    const Document unknown = readRtf("{\\rtf1\\ansi\\ansicpg4242 \\'80}");
    EXPECT_EQ(onlyText(unknown), "€");
    EXPECT_EQ(unknown.codePage, 1252);
}

TEST(RtfReader, decodesTextInTheCodePageOfItsFontsCharacterSet) {
    const Document document = readRtf(
        "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}"
        "{\\f1\\fswiss\\fcharset204 Arial Cyr;}{\\f2\\fcharset161 Greek;}}"
        "\\f0 caf\\'e9 {\\f1 \\'c4\\'e0} \\f2\\'c1}");
    EXPECT_EQ(plainText(document.paragraphs.at(0)), "café Да Α");
    EXPECT_EQ(document.fonts.at(1).charset, 204);
    EXPECT_EQ(document.fonts.at(0).charset, kNoCharset);
}

TEST(RtfReader, keepsHiddenTextHiddenInItsOwnRuns) {
    EXPECT_EQ(runsOf(rtf("seen {\\v secret} \\v x\\v0 y\\v z\\plain w")),
              (Runs{{"seen ", Format{}},
                    {"secret", Format{.hidden = true}},
                    {" ", Format{}},
                    {"x", Format{.hidden = true}},
                    {"y", Format{}},
                    {"z", Format{.hidden = true}},
                    {"w", Format{}}}));
}

TEST(RtfReader, readsUnicodeEscapesAndSkipsTheirFallback) {
    EXPECT_EQ(onlyText(rtf("\\u8364?5")), "€5");
    EXPECT_EQ(onlyText(rtf("\\u-15032?")), "안");
    EXPECT_EQ(onlyText(rtf("\\u8220\\'93hi\\u8221\\'94")), "“hi”");
    EXPECT_EQ(onlyText(rtf("\\uc2\\u233xy z")), "é z");
    EXPECT_EQ(onlyText(rtf("\\uc0\\u233x")), "éx");
    EXPECT_EQ(onlyText(rtf("\\u233\\par x")), "éx") << "a control word is one fallback character";
}

TEST(RtfReader, stopsSkippingFallbackAtABrace) {
    EXPECT_EQ(onlyText(rtf("{\\uc3\\u233}xy")), "éxy");
}

TEST(RtfReader, scopesTheFallbackCountToItsGroup) {
    EXPECT_EQ(onlyText(rtf("{\\uc0\\u233}\\u233xy")),
              "éé"
              "y");
}

TEST(RtfReader, joinsSurrogatePairsAndReplacesLoneHalves) {
    EXPECT_EQ(onlyText(rtf("\\u-10179?\\u-8704?")), "😀");
    EXPECT_EQ(onlyText(rtf("\\u55357?x")), "\uFFFDx");
    EXPECT_EQ(onlyText(rtf("\\u-8704?x")), "\uFFFDx");
    EXPECT_EQ(onlyText(rtf("\\u55357?\\u55357?\\u56832?")), "\uFFFD😀");
}

TEST(RtfReader, readsTheFontTableAndSwitchesFonts) {
    const Document document =
        rtf("{\\fonttbl{\\f0\\froman Times New Roman;}{\\f3\\fswiss Arial;}}"
            "\\f3 a\\f0 b");
    EXPECT_EQ(document.fonts, (std::vector<Font>{{"Times New Roman", FontFamily::Roman},
                                                 {"Arial", FontFamily::Swiss}}));
    EXPECT_EQ(runsOf(document), (Runs{{"a", Format{.font = 1}}, {"b", Format{.font = 0}}}));
}

TEST(RtfReader, readsAFontTableWithoutInnerGroups) {
    const Document document = rtf("{\\fonttbl\\f0\\fnil Courier;\\f1\\fmodern Consolas;}\\f1 x");
    EXPECT_EQ(document.fonts,
              (std::vector<Font>{{"Courier", FontFamily::Nil}, {"Consolas", FontFamily::Modern}}));
    EXPECT_EQ(runsOf(document), (Runs{{"x", Format{.font = 1}}}));
}

TEST(RtfReader, readsEveryFontFamily) {
    const Document document =
        rtf("{\\fonttbl{\\f0\\fnil A;}{\\f1\\froman B;}{\\f2\\fswiss C;}{\\f3\\fmodern D;}"
            "{\\f4\\fscript E;}{\\f5\\fdecor F;}{\\f6\\ftech G;}{\\f7\\fbidi H;}{\\f8 I;}}");
    const std::vector<FontFamily> expected = {
        FontFamily::Nil,    FontFamily::Roman,  FontFamily::Swiss,
        FontFamily::Modern, FontFamily::Script, FontFamily::Decor,
        FontFamily::Tech,   FontFamily::Bidi,   FontFamily::Nil};
    ASSERT_EQ(document.fonts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(document.fonts[i].family, expected[i]) << i;
        EXPECT_EQ(document.fonts[i].name, std::string(1, static_cast<char>('A' + i)));
    }
}

TEST(RtfReader, leavesTheFontExtrasOutOfTheName) {
    const Document document =
        rtf("{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}"
            "Times New Roman{\\*\\falt Times};}{\\f1 Caf\\'e9 \\{x\\} \\u8364? ;}}");
    EXPECT_EQ(document.fonts, (std::vector<Font>{{"Times New Roman", FontFamily::Roman, 0},
                                                 {"Café {x} €", FontFamily::Nil}}));
}

TEST(RtfReader, endsAFontNameWithItsLoneSurrogate) {
    EXPECT_EQ(rtf("{\\fonttbl{\\f0 A\\u55357?;}}").fonts,
              (std::vector<Font>{{"A\uFFFD", FontFamily::Nil}}));
}

TEST(RtfReader, usesTheDefaultFontForPlainAndUnknownNumbers) {
    const Document document =
        readRtf("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 A;}{\\f1 B;}}x\\f0 y\\plain z\\f0 u\\f7 w}");
    EXPECT_EQ(runsOf(document), (Runs{{"x", Format{.font = 1}},
                                      {"y", Format{.font = 0}},
                                      {"z", Format{.font = 1}},
                                      {"u", Format{.font = 0}},
                                      {"w", Format{.font = 1}}}));
}

TEST(RtfReader, readsTheColourTableWithItsAutomaticEntry) {
    const Document document =
        rtf("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}"
            "\\cf2 x\\cf1 y\\cf0 z\\cf9 w");
    EXPECT_EQ(document.colours, (std::vector<Colour>{{255, 0, 0}, {0, 128, 255}}));
    EXPECT_EQ(runsOf(document),
              (Runs{{"x", Format{.colour = 2}}, {"y", Format{.colour = 1}}, {"zw", Format{}}}));
}

TEST(RtfReader, keepsAnExplicitFirstColour) {
    const Document document =
        rtf("{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\\cf0 a\\cf1 b");
    EXPECT_EQ(document.colours, (std::vector<Colour>{{0, 0, 0}, {255, 0, 0}}));
    EXPECT_EQ(runsOf(document), (Runs{{"a", Format{.colour = 1}}, {"b", Format{.colour = 2}}}));
}

TEST(RtfReader, clampsColourComponentsAndKeepsALastEntryWithoutSemicolon) {
    const Document document = rtf("{\\colortbl;\\red300\\green-4\\blue7;\\blue9}\\cf2 x");
    EXPECT_EQ(document.colours, (std::vector<Colour>{{255, 0, 7}, {0, 0, 9}}));
    EXPECT_EQ(runsOf(document), (Runs{{"x", Format{.colour = 2}}}));
}

struct AlignmentCase {
    const char* word;
    Alignment expected;
};

class RtfAlignmentWords : public ::testing::TestWithParam<AlignmentCase> {};

TEST_P(RtfAlignmentWords, alignTheParagraph) {
    const Document document = rtf(std::string("\\pard") + GetParam().word + " x\\par");
    ASSERT_EQ(document.paragraphs.size(), 1u);
    EXPECT_EQ(document.paragraphs[0].alignment, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, RtfAlignmentWords,
                         ::testing::Values(AlignmentCase{"", Alignment::Left},
                                           AlignmentCase{"\\ql", Alignment::Left},
                                           AlignmentCase{"\\qc", Alignment::Centre},
                                           AlignmentCase{"\\qr", Alignment::Right},
                                           AlignmentCase{"\\qj", Alignment::Justify},
                                           AlignmentCase{"\\qc\\pard", Alignment::Left}));

TEST(RtfReader, keepsTheAlignmentUntilPardOrTheEndOfItsGroup) {
    const Document document = rtf("\\qc a\\par b\\par\\pard c\\par{\\qr d\\par}e\\par");
    std::vector<Alignment> alignments;
    for (const Paragraph& paragraph : document.paragraphs) {
        alignments.push_back(paragraph.alignment);
    }
    EXPECT_EQ(alignments,
              (std::vector<Alignment>{Alignment::Centre, Alignment::Centre, Alignment::Left,
                                      Alignment::Right, Alignment::Left}));
}

struct DestinationCase {
    const char* group;
};

class RtfSkippedDestinations : public ::testing::TestWithParam<DestinationCase> {};

TEST_P(RtfSkippedDestinations, leaveNoText) {
    EXPECT_EQ(onlyText(rtf(std::string("before ") + GetParam().group + "after")), "before after");
}

INSTANTIATE_TEST_SUITE_P(
    Table, RtfSkippedDestinations,
    ::testing::Values(DestinationCase{"{\\info{\\title T}{\\author A}}"},
                      DestinationCase{"{\\stylesheet{\\s0 Normal;}{\\s1\\b heading 1;}}"},
                      DestinationCase{"{\\*\\generator Writer 1.0;}"},
                      DestinationCase{"{\\pict\\pngblip\\picw2\\pich2 89504e470d0a}"},
                      DestinationCase{"{\\header {\\pard head\\par}}"},
                      DestinationCase{"{\\footer foot}"}, DestinationCase{"{\\footnote note}"},
                      DestinationCase{"{\\*\\madeup {nested {deeper}} text}"},
                      DestinationCase{"{\\fldinst HYPERLINK x}"},
                      DestinationCase{"{\\object\\objemb{\\*\\objdata 0105}{\\result r}}"},
                      DestinationCase{"{\\*\\bkmkstart mark}"}));

TEST(RtfReader, keepsTheResultOfAField) {
    EXPECT_EQ(onlyText(rtf("see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt "
                           "{\\ul the link}}} now")),
              "see the link now");
}

TEST(RtfReader, skipsBinaryDataEvenWhenItHoldsBraces) {
    EXPECT_EQ(onlyText(rtf("a{\\pict\\bin4 }}{{} b")), "a b");
    EXPECT_EQ(onlyText(rtf("a\\bin3 }{\\b")), "ab");
}

TEST(RtfReader, turnsTableRowsIntoParagraphsWithTabsBetweenCells) {
    const Document document =
        rtf("\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
            "\\trowd\\cellx1000\\cellx2000\\pard\\intbl C\\cell D\\cell\\row"
            "\\pard after\\par");
    EXPECT_EQ(paragraphTexts(document), (Texts{"A\tB", "C\tD", "after"}));
}

TEST(RtfReader, keepsEmptyCellsExceptAtTheEndOfARow) {
    EXPECT_EQ(paragraphTexts(rtf("\\intbl\\cell\\cell X\\cell\\cell\\row")), Texts{"\t\tX"});
    EXPECT_EQ(paragraphTexts(rtf("\\intbl\\cell\\cell\\row")), Texts{""});
}

TEST(RtfReader, dropsControlCharactersAndMakesSeparatorsLineBreaks) {
    EXPECT_EQ(onlyText(rtf("a\\'01b\x02"
                           "c\\u7?d\\u127?e")),
              "abcde");
    EXPECT_EQ(onlyText(rtf("a\\u8232?b\\u8233?c")), "a\nb\nc");
    EXPECT_EQ(onlyText(rtf("a\\u65535?b\\u-1?c")), "a\uFFFDb\uFFFDc");
}

TEST(RtfReader, endsWithTheGroupThatOpenedTheDocument) {
    EXPECT_EQ(paragraphTexts(readRtf("{\\rtf1 a}b\\par c")), Texts{"a"});
}

TEST(RtfReader, acceptsAByteOrderMarkAndBlanksBeforeTheDocument) {
    EXPECT_EQ(paragraphTexts(readRtf("\xEF\xBB\xBF \r\n{\\rtf1 \\b a}")), Texts{"a"});
    EXPECT_TRUE(looksLikeRtf("\xEF\xBB\xBF\n{\\rtf1}"));
    EXPECT_FALSE(looksLikeRtf("x{\\rtf1}"));
    EXPECT_FALSE(looksLikeRtf("{\\rt"));
    EXPECT_FALSE(looksLikeRtf(""));
}

TEST(RtfReader, readsAnythingElseAsPlainText) {
    EXPECT_EQ(paragraphTexts(readRtf("line 1\r\nline\t2\n\nline 4\rline 5\n")),
              (Texts{"line 1", "line\t2", "", "line 4", "line 5"}));
    EXPECT_EQ(paragraphTexts(readRtf("{\\b not rtf}")), Texts{"{\\b not rtf}"});
    EXPECT_EQ(paragraphTexts(readRtf("")), Texts{});
    EXPECT_EQ(paragraphTexts(readRtf("\n")), Texts{""});
}

TEST(RtfReader, readsPlainTextAsUtf8WhenValidElseAsWindows1252) {
    EXPECT_EQ(paragraphTexts(readPlainText("caf\xC3\xA9")), Texts{"café"});
    EXPECT_EQ(paragraphTexts(readPlainText("caf\xE9 \x80")), Texts{"café €"});
    EXPECT_EQ(paragraphTexts(readPlainText("a\x01"
                                           "b\x7F")),
              Texts{"ab"});
    const Document document = readPlainText("x");
    EXPECT_TRUE(document.fonts.empty());
    EXPECT_TRUE(document.colours.empty());
    EXPECT_EQ(document.paragraphs[0].runs, (Runs{{"x", Format{}}}));
}

}  // namespace
