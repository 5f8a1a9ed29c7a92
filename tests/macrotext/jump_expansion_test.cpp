// The jump shorthand's tricky lines, each with the text it must become, for
// the production expansion and the reference alike.
#include "macrotext/jump_expansion.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "macrotext/status_arguments.h"
#include "tests/macrotext/reference_rewrite.h"

namespace {

namespace reference = brindle::testing::reference;
using brindle::macrotext::expandJumps;
using brindle::macrotext::rewriteStatusArguments;

struct Case {
    const char* what;
    std::string line;
    std::string expanded;
};

const Case kJumpCases[] = {
    {"one jump", "1 ST 3 >20\r", "1 STJ 3 \rGOTO 20\r\r"},
    {"several jumps on a line", "1 >A >B\r", "1 \rGOTO A \rGOTO B\r\r\r"},
    {"jumps inside one target", "1 >A >B ST 5\r", "1 \rGOTO A \rGOTO B\rSTJ 5\r\r"},
    {"the status commands before the jumps are converted in turn", "1 ST 1 ST 2 >A >B\r",
     "1 STJ 1 STJ 2 \rGOTO A \rGOTO B\r\r\r"},
    {"a chained status command", "1 ST 3 >2 ST 5\r", "1 STJ 3 \rGOTO 2\r1 ST 5\r"},
    {"chained conditions, each after a jump", "X >ST 1 >ST 2 >ST 3\r",
     "X \rSTJ 1 \rGOTO X\rSTJ 2 \rGOTO X\rSTJ 3\r"},
    {"conditions and jumps alternating", "1 ST 3 >A ST 4 >B ST 5 ST 6\r",
     "1 STJ 3 \rGOTO A\r1 STJ 4 \rGOTO B\r1 ST 5 ST 6\r"},
    {"a jump right before ST", "1 ST 3 >ST 5\r", "1 STJ 3 \r1 ST 5\r"},
    {"an empty target before ST", "1 > ST 2\r", "1 \rGOTO \rSTJ 2\r"},
    {"an empty target at the end", "1 >\r", "1 \rGOTO \r\r"},
    {"two jumps with empty targets", "1 >>\r", "1 \rGOTO \rGOTO \r\r\r"},
    {"a jump lost as the character before ST", "1 >A >ST 5\r", "1 \rGOTO A \rSTJ 5\r"},
    {"a line starting with a jump", ">A\r", "\rGOTO A\r\r"},
    {"a line starting with a jump before ST", ">ST 1 >ST 2\r", "\rSTJ 1 \rGOTO \r\rSTJ 2\r"},
    {"a line starting with a jump puts its CR before ST", ">A ST 1 ST 2\r",
     "\rGOTO A\rSTJ 1 \r ST 2\r"},
    {"an inserted T completes an ST, which a later jump converts", "T >A ST 1 SST 2 >B\r",
     "T \rGOTO A\rSTJ 1 STJ ST 2 \rGOTO B\r\r"},
    {"an inserted T completes the ST the next jump runs to", "T >A ST 1 >B SST 2\r",
     "T \rGOTO A\rSTJ 1 \rGOTO B\rSTJ T ST 2\r"},
    {"an inserted blank completes an ST", " >A ST 1 STST 2 >B\r",
     " \rGOTO A\rSTJ 1 STJ  ST 2 \rGOTO B\r\r"},
    {"an inserted blank completes the ST the next jump runs to", " >A ST 1 >B STST 2\r",
     " \rGOTO A\rSTJ 1 \rGOTO B\rSTJ    ST 2\r"},
    {"an inserted S completes nothing", "S >A ST 1 ST 2\r", "S \rGOTO A\rSTJ 1 S ST 2\r"},
    {"no CR after a jump", "1 >", "1 \rGOTO \r"},
    {"only a jump", ">", "\rGOTO \r"},
    {"no CR after a condition and its jump", "ST >", "STJ \rGOTO \r"},
    {"an empty line", "", ""},
    {"no jump", "1 ST 3 ST 4\r", "1 ST 3 ST 4\r"},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

class JumpCases : public ::testing::TestWithParam<Case> {};

TEST_P(JumpCases, expandExactly) {
    const Case& c = GetParam();
    EXPECT_EQ(expandJumps(c.line), c.expanded) << c.what;
    EXPECT_EQ(reference::expandJumps(c.line), c.expanded) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Tricky, JumpCases, ::testing::ValuesIn(kJumpCases));

struct TextCase {
    const char* what;
    std::string text;
    std::string rewritten;
};

const TextCase kTextCases[] = {
    {"the arguments of every jump line", "1 st 12 >a\r\n2 st 300 >b",
     "1 STJ 000C\rGOTO A\r\r2 STJ 012C\rGOTO B\r\r"},
    {"only the first status command of a chain is converted", "1 ST 3 >A ST 4 >B ST 5 ST 6",
     "1 STJ 0003\rGOTO A\r1 STJ 0004\rGOTO B\r1 ST 5 ST 6\r"},
    {"an argument not at the fixed place stays", "T >A ST 1 >B SST 2",
     "T \rGOTO A\rSTJ 1 \rGOTO B\rSTJ T ST 2\r"},
    {"a status jump after a long first word", "ABCDEF12 >X STJ 3", "ABCDEF12 \rGOTO X STJ 3\r\r"},
    {"a large argument of a chained condition stays", "1 ST 3 >A >B ST 99999999999",
     "1 STJ 0003\rGOTO A \rGOTO B\r1\rSTJ 99999999999\r"},
    {"a line without CR after a jump line", "1 ST 3 >20\r1 MA 5",
     "1 STJ 0003\rGOTO 20\r\r1 MA 5\r"},
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.what;
}

class TextCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextCases, rewriteExactly) {
    const TextCase& c = GetParam();
    EXPECT_EQ(rewriteStatusArguments(c.text).valueOr("?"), c.rewritten) << c.what;
    EXPECT_EQ(reference::rewriteStatusArguments(c.text).valueOr("?"), c.rewritten) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Tricky, TextCases, ::testing::ValuesIn(kTextCases));

TEST(JumpExpansion, refusesAnArgumentBeyond32BitsAsTheReferenceDoes) {
    for (const char* text : {"1 ST 99999999999 >A", "X >ST 1 >ST 2\r\n1 STJ 99999999999"}) {
        auto fast = rewriteStatusArguments(text);
        auto slow = reference::rewriteStatusArguments(text);
        EXPECT_FALSE(fast.ok()) << text;
        EXPECT_FALSE(slow.ok()) << text;
        EXPECT_EQ(fast.message(), "status argument \"99999999999\" does not fit 32 bits");
        EXPECT_EQ(slow.message(), fast.message());
    }
}

}  // namespace
