// Files as other editors write them, read to the exact text and formats.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "richtext/reader.h"
#include "richtext/writer.h"
#include "tests/richtext/document_printing.h"

namespace {

using namespace brindle::richtext;
using TextRun = brindle::richtext::Run;
using Runs = std::vector<TextRun>;
using brindle::testing::paragraphTexts;
using Texts = std::vector<std::string>;

Document readSample(const std::string& name) {
    std::ifstream file(std::string(BRINDLE_RICHTEXT_SAMPLES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return readRtf(bytes.str());
}

std::vector<Alignment> alignments(const Document& document) {
    std::vector<Alignment> result;
    for (const Paragraph& paragraph : document.paragraphs) {
        result.push_back(paragraph.alignment);
    }
    return result;
}

TEST(RtfSamples, wordpadFile) {
    const Document document = readSample("wordpad.rtf");
    EXPECT_EQ(document.fonts, (std::vector<Font>{{"Calibri", FontFamily::Nil, 0},
                                                 {"Arial", FontFamily::Swiss, 0}}));
    EXPECT_EQ(document.colours, (std::vector<Colour>{{255, 0, 0}, {0, 77, 187}}));
    ASSERT_EQ(document.paragraphs.size(), 4u);
    EXPECT_EQ(alignments(document), (std::vector<Alignment>{Alignment::Left, Alignment::Centre,
                                                            Alignment::Left, Alignment::Right}));
    const Format body{.fontSize = 22};
    EXPECT_EQ(document.paragraphs[0].runs, (Runs{{"Hello ", body},
                                                 {"bold", Format{.bold = true, .fontSize = 22}},
                                                 {" and ", body},
                                                 {"italic", Format{.italic = true, .fontSize = 22}},
                                                 {".", body}}));
    EXPECT_EQ(document.paragraphs[1].runs,
              (Runs{{"Centred red", Format{.underline = true, .fontSize = 22, .colour = 1}}}));
    EXPECT_EQ(
        document.paragraphs[2].runs,
        (Runs{{"Caf\xC3\xA9 costs \xE2\x82\xAC 5\tnet\nnext", Format{.fontSize = 28, .font = 1}}}));
    EXPECT_EQ(document.paragraphs[3].runs,
              (Runs{{"Right \xE2\x86\x92 there", Format{.fontSize = 22, .colour = 2}}}));
}

TEST(RtfSamples, wordProcessorFileWithEveryKindOfHeaderGroup) {
    const Document document = readSample("word_processor.rtf");
    EXPECT_EQ(document.fonts, (std::vector<Font>{{"Times New Roman", FontFamily::Roman, 0},
                                                 {"Arial", FontFamily::Swiss, 0},
                                                 {"Calibri", FontFamily::Swiss, 0},
                                                 {"Times New Roman", FontFamily::Roman, 0}}));
    EXPECT_EQ(document.colours,
              (std::vector<Colour>{{0, 0, 0}, {0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {0, 0, 0}}));
    ASSERT_EQ(document.paragraphs.size(), 2u);
    EXPECT_EQ(alignments(document),
              (std::vector<Alignment>{Alignment::Centre, Alignment::Justify}));
    EXPECT_EQ(document.paragraphs[0].runs,
              (Runs{{"Brindle Help", Format{.bold = true, .fontSize = 32, .font = 1}}}));
    const Format body{.fontSize = 22, .font = 2};
    EXPECT_EQ(document.paragraphs[1].runs,
              (Runs{{"Press ", body},
                    {"Download", Format{.italic = true, .fontSize = 22, .font = 2, .colour = 2}},
                    {"\xE2\x80\x93see the ", body},
                    {"guide", Format{.underline = true, .fontSize = 22, .font = 2, .colour = 2}},
                    {".", body}}));
}

TEST(RtfSamples, tableRowsBecomeTabSeparatedParagraphs) {
    const Document document = readSample("table.rtf");
    EXPECT_EQ(paragraphTexts(document), (Texts{"Before the table", "Key\tMeaning\tDefault",
                                               "F1\tHelp", "\tEmpty first\tx", "After the table"}));
    EXPECT_EQ(document.paragraphs.at(1).runs,
              (Runs{{"Key\tMeaning\tDefault", Format{.bold = true, .fontSize = 20}}}));
}

TEST(RtfSamples, picturesObjectsAndBinaryDataLeaveNoText) {
    EXPECT_EQ(paragraphTexts(readSample("pictures.rtf")),
              (Texts{"A picture:", "A shape: done", "Binary: visible", "An object: end"}));
}

TEST(RtfSamples, nestedUnknownDestinationsAreSkippedWhole) {
    const Document document = readSample("nested_destinations.rtf");
    EXPECT_EQ(paragraphTexts(document), (Texts{"Visible one", "Visible two", "1.\tNumbered"}));
    EXPECT_EQ(document.fonts, (std::vector<Font>{{"Courier New", FontFamily::Nil}}));
}

TEST(RtfSamples, unicodeEscapesWithTheirFallbacks) {
    const Document document = readSample("unicode.rtf");
    EXPECT_EQ(paragraphTexts(document),
              (Texts{"Привет ми 😀 ok", "日本語",
                     "\xE2\x80\x9Cquoted\xE2\x80\x9D\xE2\x80\x94 \xE2\x80\x98x\xE2\x80\x99"
                     "\xE2\x80\x93 \xE2\x80\xA2\xC2\xA0!"}));
    EXPECT_EQ(document.paragraphs.at(0).runs, (Runs{{"Привет ", Format{.font = 0}},
                                                    {"ми", Format{.font = 1}},
                                                    {" 😀 ok", Format{.font = 0}}}));
}

TEST(RtfSamples, everySampleSurvivesAWriteAndRead) {
    for (const char* name : {"wordpad.rtf", "word_processor.rtf", "table.rtf", "pictures.rtf",
                             "nested_destinations.rtf", "unicode.rtf"}) {
        const Document document = readSample(name);
        EXPECT_EQ(readRtf(writeRtf(document)), document) << name;
    }
}

}  // namespace
