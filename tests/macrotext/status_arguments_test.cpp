#include "macrotext/status_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

using namespace brindle::macrotext;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

std::string rewritten(const std::string& text) {
    brindle::base::Result<std::string> result = rewriteStatusArguments(text);
    EXPECT_TRUE(result.ok()) << result.message();
    return result.valueOr("");
}

}  // namespace

TEST(SplitMacroLines, endsALineAtCrAndSkipsTheLfRightAfterIt) {
    EXPECT_EQ(splitMacroLines("A\r\nB\rC"), (std::vector<std::string>{"A", "B", "C"}));
}

TEST(SplitMacroLines, keepsALoneLfAsAnOrdinaryCharacter) {
    EXPECT_EQ(splitMacroLines("C\n D\r\n"), (std::vector<std::string>{"C\n D"}));
    EXPECT_EQ(splitMacroLines("\r\n\nX"), (std::vector<std::string>{"", "\nX"}));
}

TEST(SplitMacroLines, anEmptyTextHasNoLinesAndEmptyLinesCount) {
    EXPECT_TRUE(splitMacroLines("").empty());
    EXPECT_EQ(splitMacroLines("\r"), (std::vector<std::string>{""}));
    EXPECT_EQ(splitMacroLines("A\r\r"), (std::vector<std::string>{"A", ""}));
    EXPECT_EQ(splitMacroLines("\r\n\r\n"), (std::vector<std::string>{"", ""}));
}

TEST(RewriteStatusArguments, convertsAStatusArgumentToFourHexDigits) {
    EXPECT_EQ(rewritten("1 st 10"), "1 ST 000A\r");
    EXPECT_EQ(rewritten("1 ST 255"), "1 ST 00FF\r");
    EXPECT_EQ(rewritten("1 ST &H1F"), "1 ST 001F\r");
}

TEST(RewriteStatusArguments, leavesArgumentsOfZeroOrLessAsWritten) {
    EXPECT_EQ(rewritten("1 ST 0"), "1 ST 0\r");
    EXPECT_EQ(rewritten("1 ST -5"), "1 ST -5\r");
    EXPECT_EQ(rewritten("1 ST X"), "1 ST X\r");
}

TEST(RewriteStatusArguments, keepsOnlyTheLastFourDigitsOf65536AndAbove) {
    EXPECT_EQ(rewritten("1 ST 65536"), "1 ST 0000\r");
    EXPECT_EQ(rewritten("1 ST 70000"), "1 ST 1170\r");
    EXPECT_EQ(rewritten("1 ST 2147483647"), "1 ST FFFF\r");
}

TEST(RewriteStatusArguments, ignoresBlanksAfterAndInsideTheArgument) {
    EXPECT_EQ(rewritten("1 ST 10  "), "1 ST 000A\r");
    EXPECT_EQ(rewritten("1 ST 10 20"), "1 ST 03FC\r");
    // A lone LF is part of the line and the number reads through it.
    EXPECT_EQ(rewritten("1 ST 1\n0"), "1 ST 000A\r");
}

TEST(RewriteStatusArguments, roundsAFractionalArgumentHalfToEven) {
    EXPECT_EQ(rewritten("1 ST 2.5"), "1 ST 0002\r");
    EXPECT_EQ(rewritten("1 ST 3.5"), "1 ST 0004\r");
}

TEST(RewriteStatusArguments, expandsTheJumpShorthand) {
    EXPECT_EQ(rewritten("1 ST 3 >20"), "1 STJ 0003\rGOTO 20\r\r");
    EXPECT_EQ(rewritten("2 st 4096 >loop"), "2 STJ 1000\rGOTO LOOP\r\r");
}

TEST(RewriteStatusArguments, expandsAJumpWithoutAStatusCommandIntoAGotoLine) {
    EXPECT_EQ(rewritten("1 >LOOP"), "1 \rGOTO LOOP\r\r");
}

TEST(RewriteStatusArguments, givesAFollowingStatusCommandTheLinesFirstCharacter) {
    EXPECT_EQ(rewritten("1 ST 3 >2 ST 5"), "1 STJ 0003\rGOTO 2\r1 ST 5\r");
    EXPECT_EQ(rewritten("1 ST 3 >ST 5"), "1 STJ 0003\r1 ST 5\r");
}

TEST(RewriteStatusArguments, expandsEveryJumpOfALine) {
    EXPECT_EQ(rewritten("1 >A >B"), "1 \rGOTO A \rGOTO B\r\r\r");
}

TEST(RewriteStatusArguments, convertsAWrittenOutStatusJump) {
    EXPECT_EQ(rewritten("1 STJ 5"), "1 STJ 0005\r");
    EXPECT_EQ(rewritten("1 STJ 0"), "1 STJ 0\r");
}

TEST(RewriteStatusArguments, emitsAStatusJumpWithoutArgumentUnchanged) {
    EXPECT_EQ(rewritten("1 STJ"), "1 STJ\r");
    EXPECT_EQ(rewritten("1 STJ "), "1 STJ \r");
    EXPECT_EQ(rewritten("STJ"), "STJ\r");
}

TEST(RewriteStatusArguments, passesOtherLinesThroughInUpperCase) {
    EXPECT_EQ(rewritten("GOTO 12"), "GOTO 12\r");
    EXPECT_EQ(rewritten("1 ma 1000"), "1 MA 1000\r");
    EXPECT_EQ(rewritten("start:"), "START:\r");
    // Only a to z change case.
    EXPECT_EQ(rewritten("\xe9t\xe9"), "\xe9T\xe9\r");
}

TEST(RewriteStatusArguments, givesEveryLineItsOwnCrWhateverItsLineEnd) {
    EXPECT_EQ(rewritten("A\r\nB\rC"), "A\rB\rC\r");
    EXPECT_EQ(rewritten("1 st 10\r\n1 st 11\r"), "1 ST 000A\r1 ST 000B\r");
}

TEST(RewriteStatusArguments, turnsAnEmptyLineIntoALoneCrAndAnEmptyTextIntoNothing) {
    EXPECT_EQ(rewritten("\r\n"), "\r");
    EXPECT_EQ(rewritten("A\r\n\r\nB"), "A\r\rB\r");
    EXPECT_EQ(rewritten(""), "");
}

TEST(RewriteStatusArguments, refusesAnArgumentBeyond32Bits) {
    auto st = rewriteStatusArguments("1 MA 5\r\n1 ST 2147483648");
    EXPECT_FALSE(st.ok());
    EXPECT_EQ(st.message(), "status argument \"2147483648\" does not fit 32 bits");

    auto stj = rewriteStatusArguments("1 STJ 1E30");
    EXPECT_EQ(stj.message(), "status argument \"1E30\" does not fit 32 bits");

    auto jump = rewriteStatusArguments("1 ST 9999999999 >A");
    EXPECT_EQ(jump.message(), "status argument \"9999999999\" does not fit 32 bits");
}

class PrepareStatusArgumentsTest : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(PrepareStatusArgumentsTest, leavesTheTextInMacroTmp) {
    writeBytes(dir.file("Macro.Tmp"), std::string(500, 'Z'));
    auto result = PrepareStatusArguments(dir.path(), "1 ST 10\r\nGOTO A");
    EXPECT_EQ(result.valueOr(""), "1 ST 000A\rGOTO A\r");
    EXPECT_EQ(readBytes(dir.file("Macro.Tmp")), "1 ST 10\r\nGOTO A");
}

TEST_F(PrepareStatusArgumentsTest, letsPendingEventsRunOnce) {
    int yields = 0;
    EXPECT_TRUE(PrepareStatusArguments(dir.path(), "A\r\nB\r\nC", [&] { ++yields; }).ok());
    EXPECT_EQ(yields, 1);
}

TEST_F(PrepareStatusArgumentsTest, stillRewritesWhenTheWorkFileCannotBeWritten) {
    auto result = PrepareStatusArguments(dir.path() + "missing/", "1 st 10");
    EXPECT_EQ(result.valueOr(""), "1 ST 000A\r");
}
