// Documents written by the writer read back to the same document, feature
// by feature; and what the written RTF looks like where that matters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "richtext/reader.h"
#include "richtext/writer.h"
#include "tests/richtext/document_printing.h"

namespace {

using namespace brindle::richtext;
using TextRun = brindle::richtext::Run;
using Runs = std::vector<TextRun>;

Paragraph paragraph(Runs runs, Alignment alignment = Alignment::Left) {
    return Paragraph{alignment, std::move(runs)};
}

// One paragraph of runs over a font and a colour table with room for them.
Document withRuns(Runs runs) {
    Document document;
    document.fonts = {{"Arial", FontFamily::Swiss}, {"Times New Roman", FontFamily::Roman}};
    document.colours = {{255, 0, 0}, {0, 0, 255}};
    document.paragraphs = {paragraph(std::move(runs))};
    return document;
}

Document withText(const std::string& text) {
    return withRuns({{text, Format{}}});
}

struct RoundTripCase {
    std::string name;
    Document document;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
    *out << c.name;
}

class RtfRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RtfRoundTrip, readsBackTheWrittenDocument) {
    const std::string written = writeRtf(GetParam().document);
    EXPECT_EQ(readRtf(written), GetParam().document) << written;
}

Document emptyParagraphs() {
    Document document;
    document.paragraphs = {Paragraph{}, paragraph({}, Alignment::Centre), Paragraph{}};
    return document;
}

Document everyAlignment() {
    Document document;
    for (const Alignment alignment :
         {Alignment::Left, Alignment::Centre, Alignment::Right, Alignment::Justify}) {
        document.paragraphs.push_back(paragraph({{"text", Format{}}}, alignment));
    }
    return document;
}

Document everyFontFamily() {
    Document document;
    for (const FontFamily family :
         {FontFamily::Nil, FontFamily::Roman, FontFamily::Swiss, FontFamily::Modern,
          FontFamily::Script, FontFamily::Decor, FontFamily::Tech, FontFamily::Bidi}) {
        document.fonts.push_back(
            {std::string("Font ").append(std::to_string(document.fonts.size())), family});
    }
    Runs runs;
    for (int font = 7; font >= 0; --font) {
        runs.push_back({std::string("f").append(std::to_string(font)), Format{.font = font}});
    }
    document.paragraphs = {paragraph(runs)};
    return document;
}

Document awkwardFontNames() {
    Document document;
    document.fonts = {{"", FontFamily::Nil},
                      {"a;b", FontFamily::Nil},
                      {"{braces} and \\", FontFamily::Roman},
                      {"Caf\xC3\xA9 \xE2\x80\x94 \xCE\xA9 \xF0\x9F\x98\x80", FontFamily::Swiss},
                      {"1 2 3", FontFamily::Modern}};
    document.paragraphs = {paragraph({{"x", Format{.font = 3}}, {"y", Format{.font = 1}}})};
    return document;
}

Document coloursUsedAndUnused() {
    Document document;
    document.colours = {{0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {12, 34, 56}};
    document.paragraphs = {paragraph({{"a", Format{.colour = 3}},
                                      {"b", Format{.colour = 0}},
                                      {"c", Format{.colour = 1}},
                                      {"d", Format{.colour = 4}}})};
    return document;
}

// Cyrillic in a cp1251 document, with a Greek font and a character neither has.
Document cyrillicDocument() {
    Document document =
        withRuns({{"Привет, мир! ", Format{}}, {"Αβγ", Format{.font = 2}}, {" é ☺", Format{}}});
    document.codePage = 1251;
    document.fonts.push_back({"Greek", FontFamily::Swiss, 161});
    return document;
}

Document formatsAcrossParagraphs() {
    Document document = withRuns({{"bold red", Format{.bold = true, .colour = 1}}});
    document.paragraphs.push_back(paragraph({{"plain", Format{}}}, Alignment::Right));
    document.paragraphs.push_back(Paragraph{});
    document.paragraphs.push_back(
        paragraph({{"big", Format{.italic = true, .fontSize = 48, .font = 1}},
                   {"small", Format{.italic = true, .fontSize = 16, .font = 1}}}));
    return document;
}

INSTANTIATE_TEST_SUITE_P(
    Features, RtfRoundTrip,
    ::testing::Values(
        RoundTripCase{"empty", Document{}}, RoundTripCase{"emptyParagraphs", emptyParagraphs()},
        RoundTripCase{"alignments", everyAlignment()},
        RoundTripCase{"bold", withRuns({{"b", Format{.bold = true}}, {"n", Format{}}})},
        RoundTripCase{"italic", withRuns({{"i", Format{.italic = true}}, {"n", Format{}}})},
        RoundTripCase{"underline",
                      withRuns({{"u", Format{.underline = true}}, {"n", Format{}}})},
        RoundTripCase{"allStyles",
                      withRuns({{"all", Format{.bold = true, .italic = true, .underline = true}},
                                {"bi", Format{.bold = true, .italic = true}},
                                {"iu", Format{.italic = true, .underline = true}}})},
        RoundTripCase{"fontSizes", withRuns({{"a", Format{.fontSize = 1}},
                                             {"b", Format{.fontSize = 19}},
                                             {"c", Format{.fontSize = 24}},
                                             {"d", Format{.fontSize = 3276}}})},
        RoundTripCase{"fonts", withRuns({{"a", Format{.font = 1}}, {"b", Format{.font = 0}}})},
        RoundTripCase{"fontFamilies", everyFontFamily()},
        RoundTripCase{"fontNames", awkwardFontNames()},
        RoundTripCase{"colours", coloursUsedAndUnused()},
        RoundTripCase{"acrossParagraphs", formatsAcrossParagraphs()},
        RoundTripCase{"escapedCharacters", withText("\\ { } \\par {\\b x}")},
        RoundTripCase{"tabsAndLineBreaks", withText("\tcol 1\tcol 2\nline 2\n\n\t")},
        RoundTripCase{"spacesAndDigits", withRuns({{"  2 leading", Format{}},
                                                   {"3 after a word ", Format{.bold = true}},
                                                   {"-4", Format{.fontSize = 30}}})},
        RoundTripCase{"windows1252", withText("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D "
                                              "\xE2\x80\x94 \xC2\xA0 \xC2\xAD \xC3\xBF")},
        RoundTripCase{"unicode", withText("\xCE\xA9 \xEC\x95\x88 \xE2\x80\x91 \xEF\xBF\xBD ?")},
        RoundTripCase{"beyondTheBmp", withText("\xF0\x9F\x98\x80?\xF4\x8F\xBF\xBD")},
        RoundTripCase{"cyrillicCodePage", cyrillicDocument()},
        RoundTripCase{"hidden", withRuns({{"seen ", Format{}},
                                          {"hidden", Format{.bold = true, .hidden = true}},
                                          {"bold", Format{.bold = true}},
                                          {"h2", Format{.hidden = true}}})},
        RoundTripCase{"c1Controls", withText("\xC2\x80\xC2\x81\xC2\x9F")},
        RoundTripCase{"questionMarksAfterEscapes",
                      withRuns({{"\xCE\xA9?", Format{}}, {"?x", Format{.bold = true}}})},
        RoundTripCase{"emptyFontAndColourTables", []() {
                          Document document;
                          document.paragraphs = {paragraph({{"x", Format{.bold = true}}})};
                          return document;
                      }()}),
    [](const ::testing::TestParamInfo<RoundTripCase>& testCase) { return testCase.param.name; });

TEST(RtfWriter, startsWithTheAnsiHeaderAndWritesOnlySevenBitBytes) {
    const std::string written = writeRtf(withText("caf\xC3\xA9 \xCE\xA9 \xF0\x9F\x98\x80"));
    EXPECT_TRUE(written.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << written;
    for (const char c : written) {
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << written;
    }
}

TEST(RtfWriter, escapesCharactersAsWindows1252BytesOrSignedUnicode) {
    const std::string written =
        writeRtf(withText("\\{}\xC3\xA9\xE2\x82\xAC\xCE\xA9\xEF\xBF\xBD\xF0\x9F\x98\x80"));
    EXPECT_NE(written.find("\\\\\\{\\}\\'e9\\'80\\u937?\\u-3?\\u-10179?\\u-8704?"),
              std::string::npos)
        << written;
}

// What a cp1251 file holds comes back as it was: \'hh of the same bytes, and
// \uN only for what the page lacks.
TEST(RtfWriter, writesTextBackInTheDocumentsAndFontsCodePages) {
    const std::string written = writeRtf(cyrillicDocument());
    EXPECT_TRUE(written.starts_with("{\\rtf1\\ansi\\ansicpg1251\\deff0")) << written;
    EXPECT_NE(written.find("{\\f2\\fswiss\\fcharset161 Greek;}"), std::string::npos) << written;
    EXPECT_NE(written.find(" \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\'ec\\'e8\\'f0! \\f2 \\'c1\\'e2\\'e3"
                           "\\f0  \\u233? \\u9786?\\par"),
              std::string::npos)
        << written;
}

TEST(RtfWriter, writesHiddenTextBetweenVAndV0) {
    const std::string written =
        writeRtf(withRuns({{"a", Format{}}, {"b", Format{.hidden = true}}, {"c", Format{}}}));
    EXPECT_NE(written.find(" a\\v b\\v0 c\\par"), std::string::npos) << written;
}

TEST(RtfWriter, writesOneParagraphPerParWithItsAlignment) {
    const std::string written = writeRtf(everyAlignment());
    EXPECT_NE(written.find("\\pard text\\par"), std::string::npos) << written;
    EXPECT_NE(written.find("\\pard\\qc text\\par"), std::string::npos) << written;
    EXPECT_NE(written.find("\\pard\\qr text\\par"), std::string::npos) << written;
    EXPECT_NE(written.find("\\pard\\qj text\\par"), std::string::npos) << written;
}

TEST(RtfWriter, writesTheTablesWithFontNumbersAndTheAutomaticColourFirst) {
    const std::string written = writeRtf(withText("x"));
    EXPECT_NE(written.find("{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"),
              std::string::npos)
        << written;
}

TEST(RtfWriter, writesIndexesOutsideTheTablesAsTheFirstEntry) {
    Document document =
        withRuns({{"x", Format{.font = 9, .colour = 3}}, {"y", Format{.font = -1, .colour = -2}}});
    const Document read = readRtf(writeRtf(document));
    EXPECT_EQ(read.paragraphs.at(0).runs, (Runs{{"xy", Format{}}}));
}

TEST(RtfWriter, leavesOutControlCharactersAndEmptyRuns) {
    Document document = withRuns({{"a\rb\x01"
                                   "c\x7F",
                                   Format{}},
                                  {"", Format{.bold = true}},
                                  {"d", Format{}}});
    const Document read = readRtf(writeRtf(document));
    EXPECT_EQ(read.paragraphs.at(0).runs, (Runs{{"abcd", Format{}}}));
}

TEST(RtfWriter, turnsInvalidUtf8IntoReplacementCharacters) {
    const Document read =
        readRtf(writeRtf(withText("a\xFF"
                                  "b\xC3")));
    EXPECT_EQ(plainText(read.paragraphs.at(0)),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

TEST(RichTextModel, appendTextExtendsTheLastRunOnlyForTheSameFormat) {
    Paragraph target;
    appendText(target, Format{}, "a");
    appendText(target, Format{}, "b");
    appendText(target, Format{.bold = true}, "");
    appendText(target, Format{.bold = true}, "c");
    appendText(target, Format{}, "d");
    EXPECT_EQ(target.runs, (Runs{{"ab", Format{}}, {"c", Format{.bold = true}}, {"d", Format{}}}));
    EXPECT_EQ(plainText(target), "abcd");
}

TEST(RichTextModel, findsTheColourOfAFormat) {
    const Document document = withText("x");
    EXPECT_EQ(colourOf(document, Format{}), nullptr);
    ASSERT_NE(colourOf(document, Format{.colour = 2}), nullptr);
    EXPECT_EQ(*colourOf(document, Format{.colour = 2}), (Colour{0, 0, 255}));
    EXPECT_EQ(colourOf(document, Format{.colour = 3}), nullptr);
    EXPECT_EQ(colourOf(document, Format{.colour = -1}), nullptr);
}

}  // namespace
