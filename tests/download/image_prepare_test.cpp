#include "download/image_prepare.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle::download;
using brindle::testing::hexBytes;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::toHex;
using brindle::testing::writeBytes;

namespace {

using brindle::testing::kWorkedExample;

class PrepareMacroImageTest : public ::testing::Test {
  protected:
    ImageResult prepare(const std::string& text, int offset = 0, const std::string& name = "DEMO") {
        return prepareMacroImage(dir.path(), name, text, offset, CancelFlag);
    }
    // The image as hex, failing the test when the macro is not ready.
    std::string imageHex(const std::string& text, int offset = 0) {
        ImageResult result = prepare(text, offset);
        EXPECT_TRUE(result.ok()) << result.message();
        return result ? toHex(result->bytes) : std::string();
    }

    TempDir dir;
    bool CancelFlag = false;
};

}  // namespace

TEST_F(PrepareMacroImageTest, compilesTheWorkedExampleInto24Bytes) {
    ImageResult result = prepare(kWorkedExample);
    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(toHex(result->bytes),
              "31 20 4D 41 20 31 30 30 30 0D 47 4F 54 4F 0E 02 0D 4D 41 43 52 4F 02 0D");
    EXPECT_TRUE(result->unresolvedTargets.empty());
}

TEST_F(PrepareMacroImageTest, leavesTheWorkFilesHoldingTheLastMacrosTexts) {
    writeBytes(dir.file("Blockdat.Tmp"), std::string(300, 'Q'));
    ASSERT_TRUE(prepare("  " + kWorkedExample + "  "));
    EXPECT_EQ(readBytes(dir.file("Macro.Tmp")), kWorkedExample);
    EXPECT_EQ(toHex(readBytes(dir.file("Blockdat.Tmp"))),
              "31 20 4D 41 20 31 30 30 30 0D 0A 47 4F 54 4F 30 31 0D 0A "
              "4D 41 43 52 4F 02 0D 0A");
}

TEST_F(PrepareMacroImageTest, trimsAndUpperCasesTheText) {
    EXPECT_EQ(imageHex("  start:\r\n1 ma 5\r\ngoto start  "),
              "31 20 4D 41 20 35 0D 47 4F 54 4F 0E 02 0D");
}

TEST_F(PrepareMacroImageTest, resolvesJumpsForANonZeroImageOffset) {
    EXPECT_EQ(imageHex("START:\r\n1 MA 5\r\nGOTO START", 1000),
              "31 20 4D 41 20 35 0D 47 4F 54 4F 11 EA 0D");
}

TEST_F(PrepareMacroImageTest, treatsLoneCrAndCrLfLineEndsAlike) {
    EXPECT_EQ(imageHex("START:\r1 MA 5\rGOTO START"), imageHex("START:\r\n1 MA 5\r\nGOTO START"));
}

TEST_F(PrepareMacroImageTest, keepsTheLfNumberByteOfMacro10) {
    EXPECT_EQ(imageHex("MACRO 10"), "4D 41 43 52 4F 0A 0D");
}

TEST_F(PrepareMacroImageTest, givesMacro300TheByteZero) {
    EXPECT_EQ(imageHex("MACRO 300"), "4D 41 43 52 4F 00 0D");
}

TEST_F(PrepareMacroImageTest, keepsAColonNumberByteAndALabelBeforeMacro) {
    EXPECT_EQ(imageHex("MACRO 58"), "4D 41 43 52 4F 3A 0D");
    EXPECT_EQ(imageHex("END: MACRO 2\r\nGOTO END"), "20 4D 41 43 52 4F 02 0D 47 4F 54 4F 0E 02 0D");
}

TEST_F(PrepareMacroImageTest, joinsASingleCharacterLineToTheNext) {
    EXPECT_EQ(imageHex("X\r\n1 MA 5"), "58 31 20 4D 41 20 35 0D");
}

TEST_F(PrepareMacroImageTest, keepsThePlaceHolderOfAJumpWithoutLabel) {
    ImageResult result = prepare("GOTO NOWHERE");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->bytes, "GOTO01\r");
    EXPECT_EQ(result->unresolvedTargets, (std::vector<std::string>{"NOWHERE"}));
}

TEST_F(PrepareMacroImageTest, doesNotMatchALabelWrittenWithABlankBeforeItsColon) {
    ImageResult result = prepare("LOOP :\r\n1 MA 5\r\nGOTO LOOP");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->bytes, "1 MA 5\rGOTO01\r");
}

TEST_F(PrepareMacroImageTest, convertsStatusArgumentsAbove0Only) {
    EXPECT_EQ(prepare("1 ST 255")->bytes, "1 ST 00FF\r");
    EXPECT_EQ(prepare("1 ST 0")->bytes, "1 ST 0\r");
    EXPECT_EQ(prepare("1 ST 65536")->bytes, "1 ST 0000\r");
    EXPECT_EQ(prepare("1 ST 70000")->bytes, "1 ST 1170\r");
    EXPECT_EQ(prepare("1 ST 10  \r\n2 MA 1")->bytes, "1 ST 000A\r2 MA 1\r");
}

TEST_F(PrepareMacroImageTest, cutsABackslashCommentAfterItsBackslash) {
    EXPECT_EQ(prepare("AB \\* NOTE")->bytes, "AB \\\r");
}

TEST_F(PrepareMacroImageTest, keepsTextBeforeACommentInsideAStatementLine) {
    EXPECT_EQ(prepare("1 MA 5 /* move */")->bytes, "1 MA 5 \r");
}

TEST_F(PrepareMacroImageTest, dropsEmptyLines) {
    EXPECT_EQ(prepare("1 MA 5\r\n\r\n\r\n2 MA 6")->bytes, "1 MA 5\r2 MA 6\r");
}

TEST_F(PrepareMacroImageTest, compilesTheJumpShorthandToAStatusJumpAndALocation) {
    EXPECT_EQ(imageHex("LOOP:\r\n1 ST 3 >LOOP"),
              "31 20 53 54 4A 20 30 30 30 33 0D 47 4F 54 4F 0E 02 0D");
}

TEST_F(PrepareMacroImageTest, compilesTheJumpShorthandWithoutStatusCommand) {
    EXPECT_EQ(imageHex("1 >LOOP\r\nLOOP:"), "31 0D 47 4F 54 4F 0E 0B 0D");
}

TEST_F(PrepareMacroImageTest, emitsAStatusJumpWithoutArgumentUnchanged) {
    EXPECT_EQ(prepare("1 STJ")->bytes, "1 STJ\r");
}

TEST_F(PrepareMacroImageTest, givesAnEmptyTextAnEmptyImage) {
    ImageResult result = prepare("   ");
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result->bytes, "");
    EXPECT_EQ(readBytes(dir.file("Blockdat.Tmp")), "");
}

TEST_F(PrepareMacroImageTest, letsPendingEventsRunOnce) {
    int yields = 0;
    EXPECT_TRUE(
        prepareMacroImage(dir.path(), "DEMO", kWorkedExample, 0, CancelFlag, [&] { ++yields; }));
    EXPECT_EQ(yields, 1);
}

TEST_F(PrepareMacroImageTest, reportsACancelledResolution) {
    CancelFlag = true;
    ImageResult result = prepare(kWorkedExample);
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result->cancelled);
}

TEST_F(PrepareMacroImageTest, acceptsAnImageEndingAtLocation32767) {
    // 3586 + 29175 + 7 - 1 = 32767
    EXPECT_EQ(imageHex("1 MA 5", 29175), "31 20 4D 41 20 35 0D");
}

class RefusedMacroTest : public PrepareMacroImageTest {
  protected:
    void expectRefused(const std::string& text, int offset, const std::string& message) {
        ImageResult result = prepare(text, offset, "MOTION      ");
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.message(), message);
    }
};

TEST_F(RefusedMacroTest, whenItsImageWouldEndBeyond32767) {
    expectRefused("1 MA 5", 29176,
                  "Macro \"MOTION\" cannot be compiled: its image would end at location 32768, "
                  "beyond 32767");
}

TEST_F(RefusedMacroTest, whenItsImageWouldStartBeyond32767) {
    expectRefused("", 29182,
                  "Macro \"MOTION\" cannot be compiled: its image would start at location 32768, "
                  "beyond 32767");
}

TEST_F(RefusedMacroTest, whenAJumpLocationWouldExceed32767) {
    expectRefused("GOTO A\r\nA:", 29175,
                  "Macro \"MOTION\" cannot be compiled: the jump to \"A\" would need location "
                  "32768, beyond 32767");
}

TEST_F(RefusedMacroTest, whenItHasMoreThan100Labels) {
    std::string text;
    for (int i = 0; i <= 100; ++i) {
        text.append("L").append(std::to_string(i)).append(":\r\n");
    }
    expectRefused(text, 0, "Macro \"MOTION\" cannot be compiled: it has more than 100 labels");
}

TEST_F(RefusedMacroTest, whenItHasMoreThan100Jumps) {
    std::string text = "A:\r\n";
    for (int i = 0; i <= 100; ++i) {
        text += "GOTO A\r\n";
    }
    expectRefused(text, 0, "Macro \"MOTION\" cannot be compiled: it has more than 100 jumps");
}

TEST_F(RefusedMacroTest, whenAMacroNumberIsBelowZero) {
    expectRefused("1 MA 5\r\nMACRO -1", 0,
                  "Macro \"MOTION\" cannot be compiled: MACRO number -1 is below 0");
}

TEST_F(RefusedMacroTest, whenAStatusArgumentDoesNotFit32Bits) {
    expectRefused("1 ST 4294967296", 0,
                  "Macro \"MOTION\" cannot be compiled: status argument \"4294967296\" does not "
                  "fit 32 bits");
}

TEST_F(RefusedMacroTest, whenItsImageOffsetIsNegative) {
    expectRefused("1 MA 5", -1,
                  "Macro \"MOTION\" cannot be compiled: its image offset -1 is below 0");
}
