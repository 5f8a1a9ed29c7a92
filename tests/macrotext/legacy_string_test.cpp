#include "macrotext/legacy_string.h"

#include <gtest/gtest.h>

using namespace brindle::macrotext;

TEST(LegacyString, instrCountsFromOneAndAnswersZeroWhenNothingIsFound) {
    EXPECT_EQ(instr("ABCABC", "BC"), 2);
    EXPECT_EQ(instr("ABCABC", "BC", 3), 5);
    EXPECT_EQ(instr("ABCABC", "BC", 6), 0);
    EXPECT_EQ(instr("ABC", "X"), 0);
    EXPECT_EQ(instr("", "X"), 0);
}

TEST(LegacyString, instrStartingPastTheEndFindsNothingAndBeforeOneSearchesAll) {
    EXPECT_EQ(instr("ABC", "A", 4), 0);
    EXPECT_EQ(instr("ABC", "", 4), 0);
    EXPECT_EQ(instr("ABC", "A", 0), 1);
    EXPECT_EQ(instr("ABC", "A", -3), 1);
}

TEST(LegacyString, leftAndRightClampTheirCount) {
    EXPECT_EQ(left("ABC", 2), "AB");
    EXPECT_EQ(left("ABC", 9), "ABC");
    EXPECT_EQ(left("ABC", 0), "");
    EXPECT_EQ(left("ABC", -1), "");
    EXPECT_EQ(right("ABC", 2), "BC");
    EXPECT_EQ(right("ABC", 9), "ABC");
    EXPECT_EQ(right("ABC", -2), "");
}

TEST(LegacyString, midStartingAtZeroReadsFromTheFirstCharacter) {
    EXPECT_EQ(mid("ABCDE", 0, 2), "AB");
    EXPECT_EQ(mid("ABCDE", 1, 2), "AB");
}

TEST(LegacyString, midRunningPastTheEndStopsAtTheEnd) {
    EXPECT_EQ(mid("ABCDE", 2, 3), "BCD");
    EXPECT_EQ(mid("ABCDE", 4, 10), "DE");
    EXPECT_EQ(mid("ABCDE", 6, 1), "");
    EXPECT_EQ(mid("ABCDE", 6), "");
    EXPECT_EQ(mid("ABCDE", 3), "CDE");
}

TEST(LegacyString, midWithANegativeOrZeroCountTakesNothing) {
    EXPECT_EQ(mid("ABCDE", 2, 0), "");
    EXPECT_EQ(mid("ABCDE", 2, -1), "");
}
