// The sequence editor on a temporary data folder: Insert/Add, Delete Macro
// Link and clicking a line.
#include "library/sequence_editor.h"

#include <gtest/gtest.h>

#include "store/databases.h"
#include "tests/support/library_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::readBytes;
using brindle::testing::ScriptedPrompter;
using brindle::testing::TempDir;
using library::EditOutcome;
using Lines = std::vector<std::string>;
using Slots = std::vector<std::pair<int, int32_t>>;

namespace {

class SequenceEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        state.DataDir = dir.path();
        for (const char* name : {"A", "B", "C", "D", "NEW"}) {
            brindle::testing::addMacro(dir.path(), name, std::string("MACRO ") + name);
        }
    }
    // The combination C as the form shows it after choosing it, line
    // `selected` selected.
    library::ComboForm loaded(int selected = -1) {
        library::ComboForm f;
        f.ComboList = "C";
        auto match = store::FindCombo(dir.path(), "C");
        f.StartingMacroNum = std::to_string(match->record.StartingMacroNum);
        f.MacroComboList = library::sequenceLines(state, match->record);
        f.selectedLine = selected;
        return f;
    }
    void addC(const Slots& slots, int16_t boot = 0) {
        brindle::testing::addCombo(dir.path(), "C", slots, 65, boot);
    }
    store::ComboRecord c() const { return store::FindCombo(dir.path(), "C")->record; }
    // The first n slots of C.
    std::vector<int32_t> slots(std::size_t n) const {
        const store::ComboRecord r = c();
        return std::vector<int32_t>(r.Sequence.begin(), r.Sequence.begin() + n);
    }
    std::string combos() const { return readBytes(dir.file("ComboDb.Dat")); }

    static constexpr int32_t a = 1, b = 2, cc = 3, d = 4, nw = 5;
    TempDir dir;
    state::MainState state;
    ScriptedPrompter prompter;
};

}  // namespace

TEST_F(SequenceEditor, withNoLineSelectedTheMacroGoesAfterTheLastLine) {
    addC({{0, a}, {1, b}});
    library::ComboEdit edit = library::insertMacro(state, loaded(), "NEW", prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_EQ(slots(4), (std::vector<int32_t>{a, b, nw, 0}));
    EXPECT_EQ(edit.MacroComboList,
              (Lines{"  1  A           ", "  2  B           ", "  3  NEW         "}));
    EXPECT_EQ(edit.selectedLine, 2);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(SequenceEditor, intoAnEmptySequenceTheMacroTakesPositionOne) {
    addC({});
    library::ComboEdit edit = library::insertMacro(state, loaded(), "NEW", prompter);
    EXPECT_EQ(slots(2), (std::vector<int32_t>{nw, 0}));
    EXPECT_EQ(edit.MacroComboList, Lines{"  1  NEW         "});
    EXPECT_EQ(edit.selectedLine, 0);
}

TEST_F(SequenceEditor, theMacroGoesAfterTheSelectedLineNeverBeforeTheFirst) {
    addC({{0, a}, {1, b}});
    library::ComboEdit edit = library::insertMacro(state, loaded(0), "NEW", prompter);
    EXPECT_EQ(slots(3), (std::vector<int32_t>{a, nw, b}));
    EXPECT_EQ(edit.selectedLine, 1);
}

TEST_F(SequenceEditor, insertActsAtTheSelectedLinesPositionPastAGapOrADeletedMacro) {
    addC({{0, a}, {2, b}, {3, cc}, {5, d}});
    ASSERT_TRUE(store::deleteMacro(dir.path(), "B", state.MacroBuffer));
    // Lines: 1 A, 4 C, 6 D; the user selects "  4  C".
    library::ComboForm f = loaded(1);
    ASSERT_EQ(f.MacroComboList[1], "  4  C           ");
    library::ComboEdit edit = library::insertMacro(state, f, "NEW", prompter);
    EXPECT_EQ(slots(7), (std::vector<int32_t>{a, 0, b, cc, nw, 0, d}));
    EXPECT_EQ(edit.MacroComboList, (Lines{"  1  A           ", "  4  C           ",
                                          "  5  NEW         ", "  7  D           "}));
    EXPECT_EQ(edit.selectedLine, 2);
    // With no line selected the macro follows the last line shown.
    library::insertMacro(state, loaded(), "A", prompter);
    EXPECT_EQ(c().Sequence[7], a);
}

TEST_F(SequenceEditor, unlinkActsAtTheSelectedLinesPositionPastAGap) {
    addC({{0, a}, {2, b}, {3, cc}});
    library::ComboEdit edit = library::unlinkMacro(state, loaded(1), prompter);  // "  3  B"
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_EQ(slots(4), (std::vector<int32_t>{a, 0, cc, 0}));
    EXPECT_EQ(edit.MacroComboList, (Lines{"  1  A           ", "  3  C           "}));
    EXPECT_EQ(edit.selectedLine, -1);
}

TEST_F(SequenceEditor, theBootMacroStaysTheSameMacroThroughInsertsAndRemovals) {
    struct Case {
        const char* what;
        int16_t boot;
        int selected;  // -1: unlink nothing, insert after the last line
        bool insert;
        int16_t bootAfter;
    };
    const Case cases[] = {
        {"insert before the boot line", 3, 0, true, 4},
        {"insert right after the boot line", 2, 1, true, 2},
        {"insert after the last line", 3, -1, true, 3},
        {"remove a line before the boot line", 3, 0, false, 2},
        {"remove the boot line", 2, 1, false, 0},
        {"remove a line after the boot line", 1, 2, false, 1},
        {"no boot macro", 0, 0, true, 0},
        {"insert before an empty boot position", 5, 0, true, 5},
        {"remove a line before an empty boot position", 5, 0, false, 5},
    };
    for (const Case& k : cases) {
        TempDir folder;
        state.DataDir = folder.path();
        for (const char* name : {"A", "B", "C", "D", "NEW"}) {
            brindle::testing::addMacro(folder.path(), name, "MACRO 1");
        }
        brindle::testing::addCombo(folder.path(), "C", {{0, a}, {1, b}, {2, cc}}, 65, k.boot);
        library::ComboForm f;
        f.ComboList = "C";
        f.StartingMacroNum = std::to_string(k.boot);
        f.MacroComboList =
            library::sequenceLines(state, store::FindCombo(folder.path(), "C")->record);
        f.selectedLine = k.selected;
        library::ComboEdit edit = k.insert ? library::insertMacro(state, f, "NEW", prompter)
                                           : library::unlinkMacro(state, f, prompter);
        ASSERT_EQ(edit.outcome, EditOutcome::Done) << k.what;
        const store::ComboRecord r = store::FindCombo(folder.path(), "C")->record;
        EXPECT_EQ(r.StartingMacroNum, k.bootAfter) << k.what;
        // The box follows the stored value it showed.
        if (k.bootAfter != k.boot) {
            EXPECT_EQ(edit.StartingMacroNum, std::to_string(k.bootAfter)) << k.what;
        } else {
            EXPECT_FALSE(edit.StartingMacroNum) << k.what;
        }
    }
}

TEST_F(SequenceEditor, aBootPositionTypedButNotSavedIsLeftInItsBox) {
    addC({{0, a}, {1, b}}, 2);
    library::ComboForm f = loaded(0);
    f.StartingMacroNum = "9";
    f.VersionText = "typed";
    library::ComboEdit edit = library::insertMacro(state, f, "NEW", prompter);
    EXPECT_FALSE(edit.StartingMacroNum);
    EXPECT_EQ(c().StartingMacroNum, 3);
    // The other fields are the stored ones: typed text is not written.
    EXPECT_EQ(c().Version, std::string(16, ' '));
}

TEST_F(SequenceEditor, aFullSequenceRefusesAnInsertAndDropsNothing) {
    Slots full;
    for (int s = 0; s < 256; ++s) {
        full.push_back({s, s % 4 + 1});
    }
    addC(full, 256);
    const std::string before = combos();
    for (int selected : {-1, 0, 100, 255}) {
        prompter.messages.clear();
        library::ComboEdit edit = library::insertMacro(state, loaded(selected), "NEW", prompter);
        EXPECT_EQ(edit.outcome, EditOutcome::Refused) << selected;
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text,
                  "There is no room in this combination's sequence: position 256, the last one, "
                  "is taken. Remove a macro link first; nothing was inserted.");
        EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
        EXPECT_FALSE(edit.MacroComboList);
    }
    EXPECT_EQ(combos(), before);
}

TEST_F(SequenceEditor, position256TakenWithGapsEarlierStillRefusesButAnEmptyLastSlotTakesTheShift) {
    addC({{0, a}, {255, b}});
    EXPECT_EQ(library::insertMacro(state, loaded(0), "NEW", prompter).outcome,
              EditOutcome::Refused);
    TempDir other;
    state.DataDir = other.path();
    for (const char* name : {"A", "B", "C", "D", "NEW"}) {
        brindle::testing::addMacro(other.path(), name, "MACRO 1");
    }
    // Slot 255 refers to a deleted macro: nothing the lists show is lost.
    brindle::testing::addCombo(other.path(), "C", {{0, a}, {254, cc}, {255, b}}, 65, 256);
    ASSERT_TRUE(store::deleteMacro(other.path(), "B", state.MacroBuffer));
    library::ComboForm f;
    f.ComboList = "C";
    f.StartingMacroNum = "256";
    f.MacroComboList = {"  1  A           ", "255  C           "};
    f.selectedLine = 0;
    ASSERT_EQ(library::insertMacro(state, f, "NEW", prompter).outcome, EditOutcome::Done);
    const store::ComboRecord r = store::FindCombo(other.path(), "C")->record;
    EXPECT_EQ(r.Sequence[1], nw);
    EXPECT_EQ(r.Sequence[255], cc);
    EXPECT_EQ(r.StartingMacroNum, 0);  // its slot's content was dropped
}

TEST_F(SequenceEditor, removingALineFromAFullSequenceLeavesTheLastSlotEmpty) {
    Slots full;
    for (int s = 0; s < 256; ++s) {
        full.push_back({s, s % 4 + 1});
    }
    addC(full);
    library::ComboEdit edit = library::unlinkMacro(state, loaded(0), prompter);
    const store::ComboRecord r = c();
    EXPECT_EQ(r.Sequence[0], 2);
    EXPECT_EQ(r.Sequence[254], 4);
    EXPECT_EQ(r.Sequence[255], 0);
    EXPECT_EQ(edit.MacroComboList->size(), 255u);
}

TEST_F(SequenceEditor, unknownNamesChangeNothingAndOnlyAnUnknownCombinationSaysSo) {
    addC({{0, a}});
    const std::string before = combos();
    library::ComboEdit noMacro = library::insertMacro(state, loaded(), "ZZZ", prompter);
    EXPECT_EQ(noMacro.outcome, EditOutcome::NotFound);
    EXPECT_TRUE(prompter.messages.empty());
    // A blank macro name does not pick up a deleted record.
    ASSERT_TRUE(store::deleteMacro(dir.path(), "D", state.MacroBuffer));
    EXPECT_EQ(library::insertMacro(state, loaded(), "", prompter).outcome, EditOutcome::NotFound);

    library::ComboForm f = loaded();
    f.ComboList = "UNSAVED";
    library::ComboEdit noCombo = library::insertMacro(state, f, "NEW", prompter);
    EXPECT_EQ(noCombo.outcome, EditOutcome::NotFound);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Combination not saved or selected");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::Ok);

    f.selectedLine = 0;
    EXPECT_EQ(library::unlinkMacro(state, f, prompter).outcome, EditOutcome::NotFound);
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(combos(), before);
}

TEST_F(SequenceEditor, unlinkWithNoLineSelectedDoesNothing) {
    addC({{0, a}});
    const std::string before = combos();
    EXPECT_EQ(library::unlinkMacro(state, loaded(), prompter).outcome, EditOutcome::Stopped);
    EXPECT_EQ(combos(), before);
}

TEST_F(SequenceEditor, clickingALineLoadsItsMacroIntoTheEditor) {
    brindle::testing::addMacro(dir.path(), "SPACED", "  1 MA 5\r\nMACRO 6  ");
    addC({{0, a}, {3, 6}}, 4);
    library::MacroEdit edit = library::previewSequenceLine(state, loaded(1));
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_EQ(edit.MacroText, "1 MA 5\r\nMACRO 6");
    EXPECT_EQ(edit.MacroSizeLabel, "15 Bytes");
    EXPECT_EQ(edit.MacroList, "SPACED      ");
}

TEST_F(SequenceEditor, clickingALineWhoseMacroWasDeletedChangesNothing) {
    addC({{0, a}, {1, b}});
    library::ComboForm f = loaded(1);
    ASSERT_TRUE(store::deleteMacro(dir.path(), "B", state.MacroBuffer));
    library::MacroEdit edit = library::previewSequenceLine(state, f);
    EXPECT_EQ(edit.outcome, EditOutcome::NotFound);
    EXPECT_FALSE(edit.MacroText || edit.MacroList || edit.MacroSizeLabel);
    EXPECT_EQ(library::previewSequenceLine(state, loaded()).outcome, EditOutcome::Stopped);
}
