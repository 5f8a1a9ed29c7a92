#include "library/download_selection.h"

#include <gtest/gtest.h>

#include "store/databases.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::TempDir;

namespace {

class DownloadSelection : public ::testing::Test {
  protected:
    void SetUp() override {
        state.DataDir = dir.path();
        for (const char* name : {"ALPHA", "BETA", "GAMMA"}) {
            store::MacroRecord r;
            r.Name = name;
            ASSERT_TRUE(store::writeMacro(dir.path(), store::macroCount(dir.path()) + 1, r));
        }
    }
    void saveCombo(const store::ComboRecord& c) {
        ASSERT_TRUE(store::writeCombo(dir.path(), store::comboCount(dir.path()) + 1, c));
        entries = store::listComboNames(dir.path());
    }
    store::ComboRecord combo(const std::string& name, std::initializer_list<int32_t> slots,
                             int16_t boot) {
        store::ComboRecord c;
        c.Name = name;
        std::size_t s = 0;
        for (int32_t v : slots) {
            c.Sequence[s++] = v;
        }
        c.StartingMacroNum = boot;
        return c;
    }
    TempDir dir;
    state::MainState state;
    std::vector<std::string> entries;
};

}  // namespace

TEST_F(DownloadSelection, selectsTheBootMacroEvenAfterAnEmptySlot) {
    saveCombo(combo("C", {1, 0, 3}, 3));
    state.NotifyExecute = true;
    auto listing = library::chooseCombinationForDownload(state, entries, 0);
    ASSERT_TRUE(listing);
    EXPECT_FALSE(state.NotifyExecute);
    EXPECT_EQ(listing->lines, (std::vector<std::string>{"  1  ALPHA       ", "* 3  GAMMA       "}));
    EXPECT_EQ(listing->selectedIndex, 1);
    EXPECT_EQ(state.MacroBuffer.Name, "GAMMA       ");
}

TEST_F(DownloadSelection, noBootMacroOrAnEmptyOrDeletedBootSlotSelectsNothing) {
    saveCombo(combo("NONE", {1, 2}, 0));
    saveCombo(combo("EMPTYSLOT", {1, 0}, 2));
    EXPECT_EQ(library::chooseCombinationForDownload(state, entries, 0)->selectedIndex, -1);
    EXPECT_EQ(library::chooseCombinationForDownload(state, entries, 1)->selectedIndex, -1);
    store::MacroRecord buffer;
    ASSERT_TRUE(store::deleteMacro(dir.path(), "BETA", buffer));
    saveCombo(combo("DELETED", {1, 2}, 2));
    auto listing = library::chooseCombinationForDownload(state, entries, 2);
    EXPECT_EQ(listing->lines.size(), 1u);
    EXPECT_EQ(listing->selectedIndex, -1);
}

TEST_F(DownloadSelection, bootMacroAtTenOrAboveIsSelectedWithoutTheMark) {
    store::ComboRecord c = combo("TEN", {}, 10);
    c.Sequence[9] = 2;
    saveCombo(c);
    auto listing = library::chooseCombinationForDownload(state, entries, 0);
    ASSERT_EQ(listing->lines.size(), 1u);
    EXPECT_EQ(listing->lines[0], " 10  BETA        ");
    EXPECT_EQ(listing->selectedIndex, 0);
}

TEST_F(DownloadSelection, anEmptySequenceClearsTheList) {
    saveCombo(combo("EMPTY", {}, 1));
    auto listing = library::chooseCombinationForDownload(state, entries, 0);
    ASSERT_TRUE(listing);
    EXPECT_TRUE(listing->lines.empty());
    EXPECT_EQ(listing->selectedIndex, -1);
}

TEST_F(DownloadSelection, noChoiceOrAnUnknownNameLeavesTheListButResetsTheReminder) {
    saveCombo(combo("C", {1}, 1));
    state.NotifyExecute = true;
    EXPECT_FALSE(library::chooseCombinationForDownload(state, entries, -1));
    EXPECT_FALSE(state.NotifyExecute);
    state.NotifyExecute = true;
    EXPECT_FALSE(library::chooseCombinationForDownload(state, {"MISSING"}, 0));
    EXPECT_FALSE(state.NotifyExecute);
}
