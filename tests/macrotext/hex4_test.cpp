#include "macrotext/hex4.h"

#include <gtest/gtest.h>

#include <limits>

using brindle::macrotext::hex4;

TEST(Hex4, writesFourUpperCaseDigitsWithLeadingZeros) {
    EXPECT_EQ(hex4(10), "000A");
    EXPECT_EQ(hex4(255), "00FF");
    EXPECT_EQ(hex4(0), "0000");
    EXPECT_EQ(hex4(0xBEEF), "BEEF");
}

TEST(Hex4, keepsOnlyTheLastFourDigitsOfLargeValues) {
    EXPECT_EQ(hex4(70000), "1170");
    EXPECT_EQ(hex4(65535), "FFFF");
    EXPECT_EQ(hex4(65536), "0000");
    EXPECT_EQ(hex4(2147483647.0), "FFFF");
}

TEST(Hex4, roundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(hex4(2.5), "0002");
    EXPECT_EQ(hex4(3.5), "0004");
    EXPECT_EQ(hex4(10.4), "000A");
    EXPECT_EQ(hex4(10.6), "000B");
}

TEST(Hex4, givesTheTwosComplementDigitsOfNegativeValues) {
    EXPECT_EQ(hex4(-1), "FFFF");
    EXPECT_EQ(hex4(-65536), "0000");
}

TEST(Hex4, hasNoFormForValuesBeyond32BitSigned) {
    EXPECT_FALSE(hex4(2147483648.0));
    EXPECT_FALSE(hex4(-2147483649.0));
    EXPECT_FALSE(hex4(1e300));
    EXPECT_FALSE(hex4(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(hex4(std::numeric_limits<double>::quiet_NaN()));
}
