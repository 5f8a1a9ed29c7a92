// The help document on disk: created when missing, read as RTF or plain
// text, written whole, and the document shipped with the program.
#include "richtext/help_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "richtext/reader.h"
#include "richtext/writer.h"
#include "tests/support/temp_dir.h"

using namespace brindle::richtext;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

Document oneParagraph(const std::string& text, bool bold = false) {
    Document document;
    Paragraph paragraph;
    Format format;
    format.bold = bold;
    appendText(paragraph, format, text);
    document.paragraphs.push_back(paragraph);
    return document;
}

class HelpFile : public ::testing::Test {
  protected:
    std::string path() const { return helpFilePath(dir.path()); }
    TempDir dir;
};

}  // namespace

TEST_F(HelpFile, sitsInTheProgramsFolderWithOrWithoutItsSeparator) {
    EXPECT_EQ(helpFilePath("/opt/brindle"), "/opt/brindle/helpmacro.rtf");
    EXPECT_EQ(helpFilePath("/opt/brindle/"), "/opt/brindle/helpmacro.rtf");
}

TEST_F(HelpFile, aMissingFileIsCreatedEmptyAndReadsAsAnEmptyDocument) {
    auto document = loadHelpDocument(path());
    ASSERT_TRUE(document.ok()) << document.message();
    EXPECT_TRUE(document->paragraphs.empty());
    EXPECT_TRUE(std::filesystem::exists(path()));
    EXPECT_EQ(std::filesystem::file_size(path()), 0u);
}

TEST_F(HelpFile, aSavedDocumentReadsBackTheSame) {
    const Document saved = oneParagraph("Press Download.", true);
    ASSERT_TRUE(saveHelpDocument(path(), saved));
    EXPECT_EQ(readBytes(path()).rfind("{\\rtf1", 0), 0u);
    auto back = loadHelpDocument(path());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(*back, saved);
}

TEST_F(HelpFile, aShorterSaveLeavesNoTraceOfTheLongerText) {
    ASSERT_TRUE(saveHelpDocument(path(), oneParagraph(std::string(5000, 'x'))));
    ASSERT_TRUE(saveHelpDocument(path(), oneParagraph("short")));
    // Exactly what the shorter document writes as, nothing after it.
    EXPECT_EQ(readBytes(path()), writeRtf(oneParagraph("short")));
    EXPECT_EQ(*loadHelpDocument(path()), oneParagraph("short"));
}

TEST_F(HelpFile, aFailedSaveLeavesTheOldFileAndSaysWhy) {
    writeBytes(path(), "{\\rtf1 old}");
    // The folder cannot hold a temporary file once it is gone.
    const std::string gone = dir.path() + "gone/";
    auto failed = saveHelpDocument(helpFilePath(gone), oneParagraph("new"));
    EXPECT_FALSE(failed.ok());
    EXPECT_NE(failed.message().find("gone"), std::string::npos);
    // A folder in the file's place cannot be replaced by a file.
    std::filesystem::create_directory(dir.file("blocked.rtf"));
    EXPECT_FALSE(saveHelpDocument(dir.file("blocked.rtf"), oneParagraph("new")).ok());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("blocked.rtf")));
    EXPECT_EQ(readBytes(path()), "{\\rtf1 old}");
    // No temporary file is left behind.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u);
}

TEST_F(HelpFile, aFileThatCannotBeReadIsAFailure) {
    std::filesystem::create_directory(path());
    EXPECT_FALSE(loadHelpDocument(path()).ok());
}

TEST_F(HelpFile, plainTextIsReadAsText) {
    writeBytes(path(), "First line\nSecond line\n");
    auto document = loadHelpDocument(path());
    ASSERT_TRUE(document.ok());
    ASSERT_EQ(document->paragraphs.size(), 2u);
    EXPECT_EQ(plainText(document->paragraphs[1]), "Second line");
}

TEST(ShippedHelpFile, isRtfWithAHeadingForEveryTab) {
    const std::string bytes = readBytes(BRINDLE_SHIPPED_HELP);
    ASSERT_TRUE(looksLikeRtf(bytes));
    const Document document = readRtf(bytes);
    std::vector<std::string> headings;
    for (const Paragraph& paragraph : document.paragraphs) {
        if (paragraph.runs.size() == 1 && paragraph.runs[0].format.bold) {
            headings.push_back(paragraph.runs[0].text);
        }
    }
    for (const char* tab : {"Specify Macros", "Down Load", "Read back", "Setup"}) {
        EXPECT_NE(std::find(headings.begin(), headings.end(), tab), headings.end()) << tab;
    }
}
