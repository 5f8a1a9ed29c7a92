#include "download/image_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

using namespace brindle::download;
using brindle::testing::hexBytes;
using brindle::testing::toHex;

namespace {

std::string lines(const std::string& rewritten) {
    CompileTables tables;
    std::string out = compileLines(rewritten, tables);
    EXPECT_TRUE(tables.problem.empty()) << tables.problem;
    return out;
}

}  // namespace

TEST(CompileLines, writesEachCompiledLineFollowedByCrLf) {
    EXPECT_EQ(toHex(lines("/* DEMO */\rSTART:\r1 MA 1000\rGOTO START\rMACRO 2\r")),
              "31 20 4D 41 20 31 30 30 30 0D 0A "
              "47 4F 54 4F 30 31 0D 0A "
              "4D 41 43 52 4F 02 0D 0A");
}

TEST(CompileLines, joinsAOneCharacterLineToTheNext) {
    EXPECT_EQ(lines("X\r1 MA 5\r"), "X1 MA 5\r\n");
}

TEST(CompileLines, dropsEmptyLinesAndControlCharacters) {
    EXPECT_EQ(lines("\r\r\r1\tMA 5\r\n\x01\r"), "1MA 5\r\n");
}

TEST(CompileLines, compilesTextAfterTheLastCr) {
    EXPECT_EQ(lines("1 MA 5\rX"), "1 MA 5\r\nX\r\n");
}

TEST(CompileLines, keepsCharactersAbove127) {
    EXPECT_EQ(toHex(lines("\xe9\x7f\r")), "E9 7F 0D 0A");
}

TEST(CompileLines, yieldsNothingForAnEmptyText) {
    EXPECT_EQ(lines(""), "");
    EXPECT_EQ(lines("\r\r"), "");
}

TEST(CompileLines, recordsLabelsAndJumpsAcrossLines) {
    CompileTables tables;
    compileLines("GOTO END\rTOP:\r1 MA 5\rGOTO TOP\rEND:\r", tables);
    ASSERT_EQ(tables.labels.size(), 2u);
    EXPECT_EQ(tables.labels[0].offset, 7);
    EXPECT_EQ(tables.labels[1].offset, 21);
    ASSERT_EQ(tables.jumps.size(), 2u);
    EXPECT_EQ(tables.jumps[0].position, 5);
    EXPECT_EQ(tables.jumps[1].position, 19);
    EXPECT_EQ(tables.lineOffset, 21);
}

TEST(CompileLines, stopsAtTheFirstLineThatCannotBeCompiled) {
    CompileTables tables;
    std::string out = compileLines("1 MA 5\rMACRO -3\r2 MA 6\r", tables);
    EXPECT_EQ(out, "1 MA 5\r\n");
    EXPECT_EQ(tables.problem, "MACRO number -3 is below 0");
}

TEST(CompileLines, keepsTheNumberByteOfMacro13AndMacro10) {
    EXPECT_EQ(lines("MACRO 13\rMACRO 10\r"),
              hexBytes("4D 41 43 52 4F 0D 0D 0A 4D 41 43 52 4F 0A 0D 0A"));
}
