#include "download/image_compile_line.h"

#include <gtest/gtest.h>

#include <string>

using namespace brindle::download;

namespace {

class CompileLineTest : public ::testing::Test {
  protected:
    std::string compile(const std::string& line) { return CompileLine(line, tables); }
    CompileTables tables;
};

}  // namespace

TEST_F(CompileLineTest, trimsBlanksAndCountsTheLineWithItsCr) {
    EXPECT_EQ(compile("  1 MA 1000  "), "1 MA 1000");
    EXPECT_EQ(tables.lineOffset, 10);
    EXPECT_EQ(compile("2 MA 5"), "2 MA 5");
    EXPECT_EQ(tables.lineOffset, 17);
}

TEST_F(CompileLineTest, dropsAWholeCommentLineWithoutCountingIt) {
    EXPECT_EQ(compile("/* DEMO */"), "");
    EXPECT_EQ(tables.lineOffset, 0);
}

TEST_F(CompileLineTest, keepsTheTextBeforeAnOpeningMarker) {
    EXPECT_EQ(compile("1 MA 5 /* MOVE */"), "1 MA 5 ");
    EXPECT_EQ(tables.lineOffset, 8);
    EXPECT_EQ(compile("X/* NOTE"), "");
}

TEST_F(CompileLineTest, keepsTheTextFromAClosingMarkerLessItsLastCharacter) {
    EXPECT_EQ(compile("1 MA 5 */ NOTE"), "*/ NOT");
    EXPECT_EQ(compile("END OF NOTE */"), "");
}

TEST_F(CompileLineTest, keepsTheBackslashOfABackslashComment) {
    EXPECT_EQ(compile("AB \\* NOTE"), "AB \\");
    EXPECT_EQ(compile("NOTE *\\ 1 MA 5"), "*\\ 1 MA 5");
}

TEST_F(CompileLineTest, appliesOnlyTheFirstCommentMarkerInItsOrder) {
    EXPECT_EQ(compile("/* A \\* B"), "");
    // "*/" is looked for before "\*", wherever they stand.
    EXPECT_EQ(compile("X \\* Y */"), "");
    EXPECT_EQ(compile("A \\* B *\\"), "A \\");
}

TEST_F(CompileLineTest, cutsACommentMarkerInsideAStatement) {
    EXPECT_EQ(compile("GOTO A/*B"), "GOTO01");
    ASSERT_EQ(tables.jumps.size(), 1u);
    EXPECT_EQ(tables.jumps[0].target, "A");
}

TEST_F(CompileLineTest, reducesAMacroStatementToTheWordAndItsNumberByte) {
    EXPECT_EQ(compile("MACRO 2"), std::string("MACRO\x02"));
    EXPECT_EQ(compile("MACRO 10"), std::string("MACRO\n"));
    EXPECT_EQ(compile("MACRO 255"), std::string("MACRO\xff"));
    EXPECT_EQ(compile("1 MACRO   7"), std::string("1 MACRO\x07"));
    EXPECT_EQ(compile("MACRO 2.5"), std::string("MACRO\x02"));
    EXPECT_EQ(tables.lineOffset, 7 + 7 + 7 + 9 + 7);
}

TEST_F(CompileLineTest, givesTheByteZeroForNumbersAbove255OrBeyond16Bits) {
    EXPECT_EQ(compile("MACRO 300"), std::string("MACRO\0", 6));
    EXPECT_EQ(compile("MACRO 256"), std::string("MACRO\0", 6));
    EXPECT_EQ(compile("MACRO 40000"), std::string("MACRO\0", 6));
    EXPECT_EQ(compile("MACRO -40000"), std::string("MACRO\0", 6));
    EXPECT_EQ(compile("MACRO"), std::string("MACRO\0", 6));
    EXPECT_TRUE(tables.problem.empty());
}

TEST_F(CompileLineTest, refusesAMacroNumberBelowZero) {
    compile("MACRO -1");
    EXPECT_EQ(tables.problem, "MACRO number -1 is below 0");
}

TEST_F(CompileLineTest, takesTheNumberByteOfMacro58AsDataNotAsALabel) {
    EXPECT_EQ(compile("MACRO 58"), "MACRO:");
    EXPECT_TRUE(tables.labels.empty());
    EXPECT_EQ(tables.lineOffset, 7);
}

TEST_F(CompileLineTest, stillFindsALabelBeforeAMacroStatement) {
    tables.lineOffset = 4;
    EXPECT_EQ(compile("END: MACRO 2"), std::string(" MACRO\x02"));
    ASSERT_EQ(tables.labels.size(), 1u);
    EXPECT_EQ(tables.labels[0].name, "END");
    EXPECT_EQ(tables.labels[0].offset, 4);
    EXPECT_EQ(tables.lineOffset, 12);
}

TEST_F(CompileLineTest, recordsALabelWithTheOffsetOfItsLine) {
    tables.lineOffset = 10;
    EXPECT_EQ(compile("START:"), "");
    EXPECT_EQ(compile("LOOP:1 MA 5"), "1 MA 5");
    ASSERT_EQ(tables.labels.size(), 2u);
    EXPECT_EQ(tables.labels[0].name, "START");
    EXPECT_EQ(tables.labels[0].offset, 10);
    EXPECT_EQ(tables.labels[1].name, "LOOP");
    EXPECT_EQ(tables.labels[1].offset, 10);
    EXPECT_EQ(tables.lineOffset, 17);
}

TEST_F(CompileLineTest, takesTheLabelNameAsWrittenAndSplitsAtTheFirstColon) {
    compile("LOOP :");
    compile(":X");
    EXPECT_EQ(compile("A:B:C"), "B:C");
    ASSERT_EQ(tables.labels.size(), 3u);
    EXPECT_EQ(tables.labels[0].name, "LOOP ");
    EXPECT_EQ(tables.labels[1].name, "");
    EXPECT_EQ(tables.labels[2].name, "A");
}

TEST_F(CompileLineTest, replacesAJumpTargetByANumberedPlaceHolder) {
    tables.lineOffset = 10;
    EXPECT_EQ(compile("GOTO START"), "GOTO01");
    EXPECT_EQ(compile("1 GOTO  LOOP "), "1 GOTO02");
    ASSERT_EQ(tables.jumps.size(), 2u);
    EXPECT_EQ(tables.jumps[0].target, "START");
    EXPECT_EQ(tables.jumps[0].position, 15);
    EXPECT_EQ(tables.jumps[1].target, "LOOP");
    EXPECT_EQ(tables.jumps[1].position, 17 + 7);
    EXPECT_EQ(tables.lineOffset, 26);
}

TEST_F(CompileLineTest, numbersPlaceHoldersWithTheLastTwoDigitsOfTheJumpCount) {
    std::string twelfth;
    std::string hundredth;
    for (int j = 1; j <= 100; ++j) {
        std::string line = compile("GOTO X");
        if (j == 12) {
            twelfth = line;
        }
        if (j == 100) {
            hundredth = line;
        }
    }
    EXPECT_EQ(twelfth, "GOTO12");
    EXPECT_EQ(hundredth, "GOTO00");
    EXPECT_TRUE(tables.problem.empty());
}

TEST_F(CompileLineTest, leavesAGotoWithoutTargetAsItIs) {
    EXPECT_EQ(compile("GOTO"), "GOTO");
    EXPECT_EQ(compile("GOTOX"), "GOTOX");
    EXPECT_TRUE(tables.jumps.empty());
}

TEST_F(CompileLineTest, refusesTheHundredAndFirstLabel) {
    for (int i = 0; i < 100; ++i) {
        compile(std::string("L").append(std::to_string(i)).append(":"));
    }
    EXPECT_TRUE(tables.problem.empty());
    compile("L100:");
    EXPECT_EQ(tables.problem, "it has more than 100 labels");
    EXPECT_EQ(tables.labels.size(), 100u);
}

TEST_F(CompileLineTest, refusesTheHundredAndFirstJump) {
    for (int i = 0; i < 100; ++i) {
        compile("GOTO A");
    }
    EXPECT_TRUE(tables.problem.empty());
    compile("GOTO A");
    EXPECT_EQ(tables.problem, "it has more than 100 jumps");
    EXPECT_EQ(tables.jumps.size(), 100u);
}
