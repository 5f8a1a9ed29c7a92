#include "contents/change_plan.h"

#include <gtest/gtest.h>

using namespace brindle;
using contents::ModuleContents;

namespace {

// Slot 0 "AB" with image "XY" CR, slot 2 "C" with image "Q" CR; node 7,
// boot macro 3.
download::DownloadPlan twoMacros() {
    download::DownloadPlan plan;
    plan.combo.NodeAddress = 7;
    plan.combo.StartingMacroNum = 3;
    download::PlannedMacro first;
    first.slot = 0;
    first.record.Name = "AB";
    first.image = "XY\r";
    download::PlannedMacro second;
    second.slot = 2;
    second.record.Name = "C";
    second.image = "Q\r";
    plan.macros = {first, second};
    return plan;
}

// The module as a whole download of twoMacros() leaves it, written out by hand.
ModuleContents downloaded() {
    ModuleContents c;
    const std::string header = "\x07\x03\x02X";
    for (int i = 0; i < 4; ++i) {
        c.set(i, static_cast<uint8_t>(header[static_cast<std::size_t>(i)]));
    }
    c.set(16, 0x0E);
    c.set(17, 0x02);
    c.set(20, 0x0E);
    c.set(21, 0x05);
    const std::string names[] = {"AB          ", "C           "};
    for (int i = 0; i < 12; ++i) {
        c.set(526 + i, static_cast<uint8_t>(names[0][static_cast<std::size_t>(i)]));
        c.set(550 + i, static_cast<uint8_t>(names[1][static_cast<std::size_t>(i)]));
    }
    const std::string area = "XY\rQ\r";
    for (int i = 0; i < 5; ++i) {
        c.set(3586 + i, static_cast<uint8_t>(area[static_cast<std::size_t>(i)]));
    }
    return c;
}

std::vector<int> locations(const std::vector<contents::TargetByte>& bytes) {
    std::vector<int> out;
    for (const auto& b : bytes) {
        out.push_back(b.location);
    }
    return out;
}

TEST(DownloadBytes, areTheDownloadsWritesInItsOrderWithoutLocationThree) {
    const auto bytes = contents::downloadBytes(twoMacros(), 3586);
    ASSERT_EQ(bytes.size(), 2u * 14 + 5 + 3);
    EXPECT_EQ(bytes[0].location, 16);
    EXPECT_EQ(bytes[1].location, 17);
    EXPECT_EQ(bytes[2].location, 526);
    EXPECT_EQ(bytes[14].location, 3586);
    EXPECT_EQ(bytes[17].location, 20);
    EXPECT_EQ(bytes[18].value, 0x05);  // the second image starts at 3589
    EXPECT_EQ(bytes[19].location, 550);
    EXPECT_EQ(bytes[19].macro, 1);
    EXPECT_EQ(locations({bytes.end() - 3, bytes.end()}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(bytes.back().value, 2);
    EXPECT_EQ(bytes.back().macro, contents::kHeaderEntry);
}

TEST(SingleReadLocations, areTheHeaderAndTheTableEntriesOfTheSlots) {
    const auto read = contents::singleReadLocations(twoMacros());
    ASSERT_EQ(read.size(), 4u + 2 * 14);
    EXPECT_EQ(read[0], 3);  // the image state first
    EXPECT_EQ(read[4], 16);
    EXPECT_EQ(read[6], 526);
    EXPECT_EQ(read[18], 20);
    EXPECT_EQ(read.back(), 561);
}

TEST(PlanChanges, aModuleThatHoldsTheDownloadNeedsNothing) {
    const auto changes = contents::planChanges(twoMacros(), downloaded(), 3586);
    EXPECT_TRUE(changes.nothingDiffers());
    EXPECT_TRUE(changes.macros.empty());
    EXPECT_TRUE(changes.header.empty());
}

TEST(PlanChanges, listsWhatDiffersOrIsUnknownPerMacroAndHeaderField) {
    const struct {
        const char* name;
        void (*change)(ModuleContents&);
        std::vector<int> writes;
        int macros;
        int headerFields;
        bool complete;
    } cases[] = {
        {"an image byte differs", [](ModuleContents& c) { c.set(3590, 'x'); }, {3590}, 1, 0, true},
        {"an image byte is unknown", [](ModuleContents& c) { c.forget(3587); }, {3587}, 1, 0, true},
        {"a name byte and a start entry",
         [](ModuleContents& c) {
             c.set(530, 'Z');
             c.forget(21);
         },
         {530, 21},
         2,
         0,
         true},
        {"the boot macro", [](ModuleContents& c) { c.set(1, 4); }, {1}, 0, 1, true},
        {"the image state", [](ModuleContents& c) { c.set(3, 'Z'); }, {}, 0, 1, false},
        {"nothing known", [](ModuleContents& c) { c = ModuleContents(); }, {}, 2, 4, false},
    };
    for (const auto& k : cases) {
        ModuleContents held = downloaded();
        k.change(held);
        const auto changes = contents::planChanges(twoMacros(), held, 3586);
        if (k.macros < 2 || k.headerFields < 4) {
            EXPECT_EQ(locations(changes.writes), k.writes) << k.name;
        }
        EXPECT_EQ(static_cast<int>(changes.macros.size()), k.macros) << k.name;
        EXPECT_EQ(static_cast<int>(changes.header.size()), k.headerFields) << k.name;
        EXPECT_EQ(changes.complete, k.complete) << k.name;
        EXPECT_FALSE(changes.nothingDiffers()) << k.name;
    }
}

TEST(PlanChanges, namesTheFirstDifferenceAndTheCountOfEachMacro) {
    ModuleContents held = downloaded();
    held.set(3587, 'y');
    held.forget(3588);
    held.set(2, 5);
    const auto changes = contents::planChanges(twoMacros(), held, 3586);
    ASSERT_EQ(changes.macros.size(), 1u);
    EXPECT_EQ(contents::describe(changes.macros[0]),
              "macro \"AB\" (position 1): 2 locations differ, the first at 3587 (1 not known for "
              "certain)");
    ASSERT_EQ(changes.header.size(), 1u);
    EXPECT_EQ(contents::describe(changes.header[0]),
              "# of Macros (location 2): module 5, combination 2");
}

}  // namespace
