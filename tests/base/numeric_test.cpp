#include "base/numeric.h"

#include <gtest/gtest.h>

#include "base/text.h"

using namespace brindle::base;

TEST(NumericValue, readsTheNumberAtTheStartOfTheText) {
    EXPECT_EQ(numericValue("7"), 7);
    EXPECT_EQ(numericValue("7ms"), 7);
    EXPECT_EQ(numericValue("abc"), 0);
    EXPECT_EQ(numericValue(""), 0);
    EXPECT_EQ(numericValue("-3"), -3);
    EXPECT_EQ(numericValue("+12"), 12);
    EXPECT_EQ(numericValue("2.5"), 2.5);
    EXPECT_EQ(numericValue(".5"), 0.5);
    EXPECT_EQ(numericValue("-"), 0);
    EXPECT_EQ(numericValue("12.5.3"), 12.5);
}

TEST(NumericValue, ignoresBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(numericValue("  42"), 42);
    EXPECT_EQ(numericValue("10 20"), 1020);
    EXPECT_EQ(numericValue("1\t0\n0"), 100);
    EXPECT_EQ(numericValue("- 5"), -5);
    EXPECT_EQ(numericValue("38400\r"), 38400);  // CR stops the number
}

TEST(NumericValue, readsExponentsWithEOrD) {
    EXPECT_EQ(numericValue("1E3"), 1000);
    EXPECT_EQ(numericValue("1d2"), 100);
    EXPECT_EQ(numericValue("25e-1"), 2.5);
    EXPECT_EQ(numericValue("3E"), 3);  // no exponent digits: the number ends before E
}

TEST(NumericValue, readsHexadecimalAndOctalAsUnsigned) {
    EXPECT_EQ(numericValue("&HFF"), 255);
    EXPECT_EQ(numericValue("&hffff"), 65535);
    EXPECT_EQ(numericValue("&O17"), 15);
    EXPECT_EQ(numericValue("&O19"), 1);
    EXPECT_EQ(numericValue("&H"), 0);
    EXPECT_EQ(numericValue("&X1"), 0);
}

TEST(Int16Conversion, roundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(-3.5), -4);
    EXPECT_EQ(toInt16(2.4999), 2);
    EXPECT_EQ(toInt16(2.5001), 3);
}

TEST(Int16Conversion, refusesValuesOutsideTheRangeInsteadOfWrapping) {
    EXPECT_EQ(toInt16(32767), 32767);
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_EQ(toInt16(32767.5), std::nullopt);  // rounds to 32768
    EXPECT_EQ(toInt16(-32768.5), -32768);       // even neighbour stays in range
    EXPECT_EQ(toInt16(40000), std::nullopt);
    EXPECT_EQ(textToInt16("1e999"), std::nullopt);
    EXPECT_EQ(textToInt32("2147483648"), std::nullopt);
    EXPECT_EQ(textToInt32("57600"), 57600);
}

TEST(DecimalText, putsABlankBeforeNonNegativeNumbersOnlyWhenAsked) {
    EXPECT_EQ(decimalText(3, true), " 3");
    EXPECT_EQ(decimalText(0, true), " 0");
    EXPECT_EQ(decimalText(-3, true), "-3");
    EXPECT_EQ(decimalText(3), "3");
    EXPECT_EQ(decimalText(-3), "-3");
}

TEST(TextHelpers, fixedWidthCutsOrFills) {
    EXPECT_EQ(fixedWidth("ABC", 5), "ABC  ");
    EXPECT_EQ(fixedWidth("ABCDEFGHIJKLMN", 12), "ABCDEFGHIJKL");
    EXPECT_EQ(trimBlanks("  a b \r "), "a b \r");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(upperAscii("abz{\xe9"), "ABZ{\xe9");
}
