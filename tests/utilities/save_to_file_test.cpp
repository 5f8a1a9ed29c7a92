// Save to File: the shown text written byte for byte, or the reason it was not.
#include "utilities/save_to_file.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::readBytes;

namespace {

using namespace std::string_literals;
// A label, a jump below the macro area kept as received, a byte above 127.
const std::string kText = "\r\n0:\r\nGOTO\x00\x05\r\nMACRO 2\r\n\xFF\r\n"s;

}  // namespace

TEST(SaveCmd, nothingReadYetAsksForARead) {
    brindle::testing::ScriptedPrompter prompter;
    EXPECT_FALSE(utilities::readyToSave("", prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Please read E2prom before saving!");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
    EXPECT_TRUE(utilities::readyToSave("Read Failed", prompter));
    EXPECT_EQ(prompter.messages.size(), 1u);
}

TEST(SaveToFile, writesTheTextByteForByteOverAnOldFile) {
    brindle::testing::TempDir dir;
    brindle::testing::ScriptedPrompter prompter;
    brindle::testing::writeBytes(dir.file("out.txt"), "an older and longer content");
    EXPECT_TRUE(utilities::SaveToFile(dir.file("out.txt"), kText, prompter).ok());
    EXPECT_EQ(readBytes(dir.file("out.txt")), kText);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST(SaveToFile, anEmptyNameWritesNothing) {
    brindle::testing::ScriptedPrompter prompter;
    EXPECT_TRUE(utilities::SaveToFile("", kText, prompter).ok());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST(SaveToFile, aFileThatCannotBeWrittenIsReported) {
    brindle::testing::TempDir dir;
    brindle::testing::ScriptedPrompter prompter;
    const std::string path = dir.file("no/such/folder/out.txt");
    EXPECT_FALSE(utilities::SaveToFile(path, kText, prompter).ok());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(path), std::string::npos);
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
}
