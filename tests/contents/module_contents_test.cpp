#include "contents/module_contents.h"

#include <gtest/gtest.h>

using namespace brindle;
using contents::ModuleContents;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s += static_cast<char>(v);
    }
    return s;
}

TEST(DumpStoredBytes, keepsTheBytesBetweenTheFillersFromTheFirstR) {
    const struct {
        const char* name;
        std::string raw;
        std::optional<std::string> stored;
    } cases[] = {
        {"header then pairs", "DUMP\rRaRbR\r", std::string("ab\r")},
        // Fillers are dropped by position, whatever their value.
        {"fillers of any value", "DUMP\rRaxbyR", std::string("abR")},
        {"a stored R", "DUMP\rRRRa", std::string("Ra")},
        {"an odd last byte is a filler", "DUMP\rRaR", std::string("a")},
        {"only the first filler", "DUMP\rR", std::string()},
        {"blank module", "DUMP\rBLANK\r", std::nullopt},
        {"blank before any filler", "DUMP\rBLANK\rRa", std::nullopt},
        {"nothing", "", std::nullopt},
        {"stored bytes of every value", "DUMP\r" + bytes({'R', 0, 'R', 0xFF, 'R', 13}),
         bytes({0, 0xFF, 13})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(contents::dumpStoredBytes(c.raw), c.stored) << c.name;
    }
}

TEST(TakeAgreeingBytes, knowsOnlyWhereBothPassesHoldTheSameByte) {
    ModuleContents held;
    contents::takeAgreeingBytes(held, std::string("abcdef"), std::string("abXde"));
    EXPECT_EQ(held.at(3586), 'a');
    EXPECT_EQ(held.at(3587), 'b');
    EXPECT_FALSE(held.known(3588));  // the passes disagree
    EXPECT_EQ(held.at(3589), 'd');
    EXPECT_EQ(held.at(3590), 'e');
    EXPECT_FALSE(held.known(3591));  // only one pass reached it
    EXPECT_EQ(held.knownCount(), 4);
    EXPECT_EQ(held.knownEnd(), 3591);
    EXPECT_EQ(held.byte(3588), 0xFF);
}

TEST(TakeAgreeingBytes, aMissingPassKnowsNothing) {
    ModuleContents held;
    contents::takeAgreeingBytes(held, std::string("abc"), std::nullopt);
    contents::takeAgreeingBytes(held, std::nullopt, std::string("abc"));
    EXPECT_EQ(held.knownCount(), 0);
    EXPECT_EQ(held.knownEnd(), 0);
}

TEST(ModuleContents, aCompleteDownloadIsAKnownXAtLocationThree) {
    ModuleContents held;
    EXPECT_FALSE(held.holdsCompleteDownload());
    held.set(3, 'Z');
    EXPECT_FALSE(held.holdsCompleteDownload());
    held.set(3, 'X');
    EXPECT_TRUE(held.holdsCompleteDownload());
    held.forget(3);
    EXPECT_FALSE(held.holdsCompleteDownload());
    // Outside the E2PROM nothing is kept.
    held.set(32768, 1);
    held.set(-1, 1);
    EXPECT_FALSE(held.known(32768));
    EXPECT_EQ(held.knownCount(), 0);
}

}  // namespace
