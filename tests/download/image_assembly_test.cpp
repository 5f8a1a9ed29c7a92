#include "download/image_assembly.h"

#include <gtest/gtest.h>

#include <string>

#include "download/image_lines.h"
#include "tests/support/temp_dir.h"

using namespace brindle::download;
using brindle::testing::hexBytes;
using brindle::testing::toHex;

TEST(AssembleImage, endsEveryLineWithCrAlone) {
    EXPECT_EQ(assembleImage("AB\r\nCD\r\n"), "AB\rCD\r");
    EXPECT_EQ(assembleImage("MACRO\r\n"), "MACRO\r");
    EXPECT_EQ(assembleImage("\n"), "");
}

TEST(AssembleImage, keepsTheLfThatIsTheNumberOfMacro10) {
    EXPECT_EQ(toHex(assembleImage(hexBytes("31 0D 0A 4D 41 43 52 4F 0A 0D 0A"))),
              "31 0D 4D 41 43 52 4F 0A 0D");
}

namespace {

struct Compiled {
    CompileTables tables;
    std::string image;
};

Compiled compiled(const std::string& rewritten) {
    Compiled c;
    c.image = assembleImage(compileLines(rewritten, c.tables));
    return c;
}

}  // namespace

TEST(ResolveJumps, writesTheLabelsLocationOverThePlaceHolder) {
    Compiled c = compiled("START:\r1 MA 1000\rGOTO START\r");
    const bool CancelFlag = false;
    JumpResolution r = resolveJumps(c.image, c.tables, 0, CancelFlag);
    EXPECT_TRUE(r.problem.empty());
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.unresolved.empty());
    EXPECT_EQ(toHex(c.image), "31 20 4D 41 20 31 30 30 30 0D 47 4F 54 4F 0E 02 0D");
}

TEST(ResolveJumps, addsTheImageOffsetOfTheMacro) {
    Compiled c = compiled("START:\r1 MA 1000\rGOTO START\r");
    const bool CancelFlag = false;
    resolveJumps(c.image, c.tables, 100, CancelFlag);
    // 3586 + 100 = 3686 = 0E66
    EXPECT_EQ(toHex(c.image.substr(14, 2)), "0E 66");
}

TEST(ResolveJumps, resolvesLabelsDefinedBeforeAndAfterTheJump) {
    Compiled c = compiled("GOTO END\rTOP:\r1 MA 5\rGOTO TOP\rEND:\rMACRO 1\rGOTO TOP\r");
    const bool CancelFlag = false;
    resolveJumps(c.image, c.tables, 0, CancelFlag);
    EXPECT_EQ(toHex(c.image),
              "47 4F 54 4F 0E 17 0D "
              "31 20 4D 41 20 35 0D "
              "47 4F 54 4F 0E 09 0D "
              "4D 41 43 52 4F 01 0D "
              "47 4F 54 4F 0E 09 0D");
}

TEST(ResolveJumps, usesTheFirstOfTwoLabelsWithTheSameName) {
    Compiled c = compiled("A:\r1 MA 5\rA:\r2 MA 5\rGOTO A\r");
    const bool CancelFlag = false;
    resolveJumps(c.image, c.tables, 0, CancelFlag);
    EXPECT_EQ(toHex(c.image.substr(18, 2)), "0E 02");
}

TEST(ResolveJumps, leavesThePlaceHolderOfATargetWithoutLabel) {
    Compiled c = compiled("GOTO NOWHERE\rLOOP :\rGOTO LOOP\r");
    const bool CancelFlag = false;
    JumpResolution r = resolveJumps(c.image, c.tables, 0, CancelFlag);
    EXPECT_TRUE(r.problem.empty());
    EXPECT_EQ(c.image, "GOTO01\rGOTO02\r");
    EXPECT_EQ(r.unresolved, (std::vector<std::string>{"NOWHERE", "LOOP"}));
}

TEST(ResolveJumps, stopsWhenCancelled) {
    Compiled c = compiled("A:\rGOTO A\r");
    const bool CancelFlag = true;
    JumpResolution r = resolveJumps(c.image, c.tables, 0, CancelFlag);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(c.image, "GOTO01\r");
}

TEST(ResolveJumps, refusesALocationBeyond32767) {
    Compiled c = compiled("GOTO A\rA:\r");
    const bool CancelFlag = false;
    std::string before = c.image;
    // The label sits right after the image: 3586 + 29175 + 7 = 32768.
    JumpResolution r = resolveJumps(c.image, c.tables, 29175, CancelFlag);
    EXPECT_EQ(r.problem, "the jump to \"A\" would need location 32768, beyond 32767");
    EXPECT_EQ(c.image, before);
}

TEST(ResolveJumps, acceptsLocation32767) {
    Compiled c = compiled("GOTO A\rA:\r");
    const bool CancelFlag = false;
    JumpResolution r = resolveJumps(c.image, c.tables, 29174, CancelFlag);
    EXPECT_TRUE(r.problem.empty());
    EXPECT_EQ(toHex(c.image), "47 4F 54 4F 7F FF 0D");
}
