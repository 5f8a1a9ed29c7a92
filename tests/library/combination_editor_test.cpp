// The combination editor on a temporary data folder: choosing, New, Save
// (with its loose macro look-up) and Delete.
#include "library/combination_editor.h"

#include <gtest/gtest.h>

#include "library/sequence_editor.h"
#include "store/databases.h"
#include "tests/support/library_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::readBytes;
using brindle::testing::ScriptedPrompter;
using brindle::testing::TempDir;
using brindle::testing::toHex;
using library::EditOutcome;
using Lines = std::vector<std::string>;

namespace {

class CombinationEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        state.DataDir = dir.path();
        home = brindle::testing::addMacro(dir.path(), "HOME", "MACRO 1");
        pick = brindle::testing::addMacro(dir.path(), "Pick", "MACRO 2");
        place = brindle::testing::addMacro(dir.path(), "PLACE", "MACRO 3");
    }
    std::string combos() const { return readBytes(dir.file("ComboDb.Dat")); }
    library::ComboForm form(const std::string& name, Lines lines = {}) const {
        library::ComboForm f;
        f.ComboList = name;
        f.StartingMacroNum = "0";
        f.NodeAddress = "65";
        f.MacroComboList = std::move(lines);
        return f;
    }
    store::ComboRecord stored(const std::string& name) const {
        auto match = store::FindCombo(dir.path(), name);
        return match ? match->record : store::ComboRecord{};
    }

    TempDir dir;
    state::MainState state;
    ScriptedPrompter prompter;
    int32_t home = 0;
    int32_t pick = 0;
    int32_t place = 0;
};

}  // namespace

TEST_F(CombinationEditor, choosingShowsTheWholeFieldsAndTheSequenceLines) {
    store::ComboRecord c;
    c.Name = "LINE 1";
    c.Version = "v2";
    c.Description = "Pick and place";
    c.NodeAddress = -3;
    c.StartingMacroNum = 3;
    c.Sequence[0] = home;
    c.Sequence[2] = place;
    ASSERT_TRUE(store::writeCombo(dir.path(), 1, c));

    library::ComboEdit edit = library::chooseCombination(state, "LINE 1          ");

    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_EQ(edit.VersionText, "v2              ");
    EXPECT_EQ(edit.DescriptionText, "Pick and place" + std::string(66, ' '));
    EXPECT_EQ(edit.NodeAddress, "-3");
    EXPECT_EQ(edit.StartingMacroNum, "3");
    EXPECT_EQ(edit.MacroComboList, (Lines{"  1  HOME        ", "* 3  PLACE       "}));
    EXPECT_EQ(edit.selectedLine, -1);
    EXPECT_FALSE(edit.ComboList);
}

TEST_F(CombinationEditor, choosingANameNoLongerStoredChangesNothing) {
    library::ComboEdit edit = library::chooseCombination(state, "GONE");
    EXPECT_EQ(edit.outcome, EditOutcome::NotFound);
    EXPECT_FALSE(edit.VersionText || edit.MacroComboList || edit.NodeAddress);
}

TEST_F(CombinationEditor, newEmptiesEveryBoxTheNameAndTheSequence) {
    library::ComboEdit edit = library::newCombination();
    EXPECT_EQ(edit.ComboList, "");
    EXPECT_EQ(edit.VersionText, "");
    EXPECT_EQ(edit.DescriptionText, "");
    EXPECT_EQ(edit.StartingMacroNum, "");
    EXPECT_EQ(edit.NodeAddress, "");
    EXPECT_EQ(edit.MacroComboList, Lines{});
}

TEST_F(CombinationEditor, aNewCombinationIsAppendedByteForByteAndAddedToTheLists) {
    brindle::testing::addCombo(dir.path(), "FIRST");
    library::ComboForm f = form("Line 2", {"  1  HOME        ", "  3  PLACE       "});
    f.VersionText = "1.0";
    f.DescriptionText = "Desc";
    f.StartingMacroNum = "2";
    f.NodeAddress = "-2";

    library::ComboEdit edit = library::saveCombination(state, f, prompter);

    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(edit.addedEntry, "Line 2          ");
    const std::string all = combos();
    ASSERT_EQ(all.size(), 2 * 1140u);
    const std::string bytes = all.substr(1140);
    EXPECT_EQ(toHex(bytes.substr(0, 44)),
              "4C 69 6E 65 20 32 20 20 20 20 20 20 20 20 20 20 "  // Name
              "31 2E 30 20 20 20 20 20 20 20 20 20 20 20 20 20 "  // Version
              "FE FF 02 00 "                                      // NodeAddress, StartingMacroNum
              "44 65 73 63 20 20 20 20");                         // Description
    EXPECT_EQ(bytes.find_first_not_of(' ', 40), 116u);
    // The lines fill slots 0 and 1 in list order, whatever positions they showed.
    EXPECT_EQ(toHex(bytes.substr(116, 12)), "01 00 00 00 03 00 00 00 00 00 00 00");
    EXPECT_EQ(bytes.find_first_not_of('\0', 124), std::string::npos);
    // The list now shows the lines at the positions they were stored in.
    EXPECT_EQ(edit.MacroComboList, (Lines{"  1  HOME        ", "* 2  PLACE       "}));
}

TEST_F(CombinationEditor, aBlankNameSavesNothingAndSaysNothing) {
    for (const char* name : {"", "     "}) {
        library::ComboEdit edit = library::saveCombination(state, form(name), prompter);
        EXPECT_EQ(edit.outcome, EditOutcome::Stopped);
    }
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(combos(), "");
}

TEST_F(CombinationEditor, numbersAreReadAsTheBoxesShowThemRoundedHalfToEven) {
    struct Case {
        const char* text;
        const char* hex;
    };
    const Case cases[] = {{"12abc", "0C 00"},  {"", "00 00"},     {"2.5", "02 00"},
                          {"3.5", "04 00"},    {"-7", "F9 FF"},   {" 1 2", "0C 00"},
                          {"&H7FFF", "FF 7F"}, {"node", "00 00"}, {"-32768", "00 80"}};
    for (const Case& c : cases) {
        TempDir folder;
        state.DataDir = folder.path();
        library::ComboForm f = form("N");
        f.NodeAddress = c.text;
        f.StartingMacroNum = c.text;
        ASSERT_EQ(library::saveCombination(state, f, prompter).outcome, EditOutcome::Done)
            << c.text;
        const std::string bytes = readBytes(folder.file("ComboDb.Dat"));
        EXPECT_EQ(toHex(bytes.substr(32, 4)), std::string(c.hex) + " " + c.hex) << c.text;
    }
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(CombinationEditor, aNumberOutsideSixteenBitsIsRefusedNamingItsBox) {
    struct Case {
        const char* starting;
        const char* node;
        const char* message;
    };
    const Case cases[] = {
        {"40000", "1",
         "\"Starting Macro #\" must lie between -32768 and 32767. The combination was not saved."},
        {"1", "-32769",
         "\"Node Address\" must lie between -32768 and 32767. The combination was not saved."},
        {"1", "32767.5",
         "\"Node Address\" must lie between -32768 and 32767. The combination was not saved."},
    };
    brindle::testing::addCombo(dir.path(), "N");
    const std::string before = combos();
    for (const Case& c : cases) {
        prompter.messages.clear();
        library::ComboForm f = form("N", {"  1  HOME        "});
        f.StartingMacroNum = c.starting;
        f.NodeAddress = c.node;
        library::ComboEdit edit = library::saveCombination(state, f, prompter);
        EXPECT_EQ(edit.outcome, EditOutcome::Refused);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, c.message);
        EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
        EXPECT_FALSE(edit.MacroComboList);
    }
    EXPECT_EQ(combos(), before);
}

TEST_F(CombinationEditor, theLooseMatchIgnoresBlanksAndLetterCase) {
    library::ComboEdit edit = library::saveCombination(
        state, form("C", {"  1  home        ", "  2   pick       ", "  3  Place"}), prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_TRUE(prompter.messages.empty());
    const store::ComboRecord c = stored("C");
    EXPECT_EQ(c.Sequence[0], home);
    EXPECT_EQ(c.Sequence[1], pick);
    EXPECT_EQ(c.Sequence[2], place);
    // The lines show the names as stored.
    EXPECT_EQ(edit.MacroComboList,
              (Lines{"  1  HOME        ", "  2  Pick        ", "  3  PLACE       "}));
}

TEST_F(CombinationEditor, invalidLinesAreListedAndOkSavesThemAsEmptySlots) {
    ASSERT_TRUE(store::deleteMacro(dir.path(), "Pick", state.MacroBuffer));
    library::ComboEdit edit = library::saveCombination(
        state,
        form("C",
             {"  1  HOME        ", "  2  Pick        ", "  3  PLACE       ", "  4  NOPE        "}),
        prompter);

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Invalid macro entries:\r\nPick        \r\nNOPE        ");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::OkCancel);
    EXPECT_EQ(prompter.messages[0].title, "Brindle");
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    const store::ComboRecord c = stored("C");
    EXPECT_EQ(c.Sequence[0], home);
    EXPECT_EQ(c.Sequence[1], 0);
    EXPECT_EQ(c.Sequence[2], place);
    EXPECT_EQ(c.Sequence[3], 0);
    // The invalid lines stay on the list; loaded again, they are gone and the
    // others keep their positions.
    EXPECT_EQ(edit.MacroComboList->size(), 4u);
    EXPECT_EQ(library::chooseCombination(state, "C").MacroComboList,
              (Lines{"  1  HOME        ", "  3  PLACE       "}));
}

TEST_F(CombinationEditor, cancelInTheInvalidEntriesMessageSavesNothing) {
    brindle::testing::addCombo(dir.path(), "C", {{0, pick}});
    const std::string before = combos();
    prompter.answers = {base::Answer::Cancel};
    library::ComboEdit edit = library::saveCombination(
        state, form("C", {"  1  HOME        ", "  2  NOPE        "}), prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Declined);
    EXPECT_EQ(prompter.messages.size(), 1u);  // no over-write question follows
    EXPECT_EQ(combos(), before);
    EXPECT_FALSE(edit.MacroComboList);
    prompter.answers = {base::Answer::Cancel};
    EXPECT_EQ(library::saveCombination(state, form("NEW", {"  1  NOPE"}), prompter).outcome,
              EditOutcome::Declined);
    EXPECT_EQ(combos(), before);
}

TEST_F(CombinationEditor, anExistingNameIsOverwrittenOnlyAfterYes) {
    brindle::testing::addCombo(dir.path(), "A");
    brindle::testing::addCombo(dir.path(), "C", {{0, pick}});
    const std::string before = combos();
    prompter.answers = {base::Answer::No};
    library::ComboEdit no = library::saveCombination(state, form("C", {"  1  HOME"}), prompter);
    EXPECT_EQ(no.outcome, EditOutcome::Declined);
    EXPECT_FALSE(no.addedEntry);
    EXPECT_EQ(combos(), before);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Record already present. Do you wish to over-write this record?");
    EXPECT_EQ(prompter.messages[0].title, "Confirm Record Over-Write");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::YesNo);

    library::ComboEdit yes = library::saveCombination(state, form("C", {"  1  HOME"}), prompter);
    EXPECT_EQ(yes.outcome, EditOutcome::Done);
    EXPECT_FALSE(yes.addedEntry);
    EXPECT_EQ(combos().size(), 2 * 1140u);
    EXPECT_EQ(stored("C").Sequence[0], home);
}

TEST_F(CombinationEditor, savingALoadedCombinationUnderANewNameLeavesTheFirst) {
    brindle::testing::addCombo(dir.path(), "FIRST", {{0, pick}, {4, home}}, 7, 5);
    const std::string before = combos();
    library::ComboEdit loaded = library::chooseCombination(state, "FIRST");
    library::ComboForm f = form("SECOND", *loaded.MacroComboList);
    f.StartingMacroNum = *loaded.StartingMacroNum;
    f.NodeAddress = *loaded.NodeAddress;
    library::ComboEdit edit = library::saveCombination(state, f, prompter);
    EXPECT_EQ(edit.addedEntry, "SECOND          ");
    EXPECT_EQ(combos().substr(0, 1140), before);
    const store::ComboRecord second = stored("SECOND");
    EXPECT_EQ(second.NodeAddress, 7);
    EXPECT_EQ(second.StartingMacroNum, 2);  // HOME's new position: the boot follows it
    EXPECT_EQ(second.Sequence[0], pick);
    EXPECT_EQ(second.Sequence[1], home);
}

TEST_F(CombinationEditor, deletingAfterYesRemovesTheRecordAndItsEntriesAndEmptiesTheForm) {
    brindle::testing::addCombo(dir.path(), "A");
    brindle::testing::addCombo(dir.path(), "B", {{0, home}}, 1, 1);
    brindle::testing::addCombo(dir.path(), "C");
    library::ComboEdit edit = library::deleteCombination(state, "B", prompter);

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Are you sure you want to delete this macro combination?");
    EXPECT_EQ(prompter.messages[0].title, "Confirm Record Deletion");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_EQ(edit.removedEntry, "B               ");
    EXPECT_EQ(edit.ComboList, "");
    EXPECT_EQ(edit.VersionText, "");
    EXPECT_EQ(edit.DescriptionText, "");
    EXPECT_EQ(edit.StartingMacroNum, "");
    EXPECT_EQ(edit.NodeAddress, "");
    EXPECT_EQ(edit.MacroComboList, Lines{});
    EXPECT_EQ(store::listComboNames(dir.path()), (Lines{"A               ", "C               "}));
    EXPECT_EQ(readBytes(dir.file("ComboDb.tmp")), combos());
}

TEST_F(CombinationEditor, aCombinationWhoseNameBeginsWithTwoBlanksSurvivesAnotherDeletion) {
    brindle::testing::addCombo(dir.path(), "  INDENTED", {{0, pick}}, 3, 1);
    brindle::testing::addCombo(dir.path(), "X");
    const std::string indented = combos().substr(0, 1140);
    ASSERT_EQ(library::deleteCombination(state, "X", prompter).outcome, EditOutcome::Done);
    EXPECT_EQ(combos(), indented);
    EXPECT_EQ(library::chooseCombination(state, "  INDENTED").MacroComboList,
              Lines{"* 1  Pick        "});
}

TEST_F(CombinationEditor, answeringNoOrAnUnknownNameChangesNothing) {
    brindle::testing::addCombo(dir.path(), "A");
    const std::string before = combos();
    prompter.answers = {base::Answer::No};
    library::ComboEdit no = library::deleteCombination(state, "A", prompter);
    EXPECT_EQ(no.outcome, EditOutcome::Declined);
    for (const char* name : {"Z", "   "}) {
        library::ComboEdit edit = library::deleteCombination(state, name, prompter);
        EXPECT_EQ(edit.outcome, EditOutcome::NotFound);
        EXPECT_FALSE(edit.removedEntry || edit.ComboList || edit.MacroComboList);
    }
    EXPECT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(combos(), before);
}

TEST_F(CombinationEditor, aSaveThatCannotWriteFailsWithTheReason) {
    state.DataDir = dir.path() + "missing/";
    library::ComboEdit edit = library::saveCombination(state, form("C"), prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Failed);
    // The folder is what is wrong, and the message says so.
    EXPECT_NE(edit.failure.message().find(state.DataDir), std::string::npos);
    EXPECT_NE(edit.failure.message().find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(edit.addedEntry);
}

// Line j is stored in slot j, so the lines close up where the list skipped a
// deleted macro; the boot macro stays the same macro.
TEST_F(CombinationEditor, theBootNumberFollowsItsLineWhenTheSequenceClosesUp) {
    brindle::testing::addCombo(dir.path(), "C", {{0, home}, {1, pick}, {2, place}}, 65, 3);
    ASSERT_TRUE(store::deleteMacro(dir.path(), "Pick", state.MacroBuffer));
    library::ComboForm f = form("C", *library::chooseCombination(state, "C").MacroComboList);
    ASSERT_EQ(f.MacroComboList, (Lines{"  1  HOME        ", "* 3  PLACE       "}));
    f.StartingMacroNum = "3";
    library::ComboEdit edit = library::saveCombination(state, f, prompter);  // over-write: Yes
    ASSERT_EQ(edit.outcome, EditOutcome::Done);
    const store::ComboRecord c = stored("C");
    EXPECT_EQ(c.Sequence[0], home);
    EXPECT_EQ(c.Sequence[1], place);
    EXPECT_EQ(c.Sequence[2], 0);
    EXPECT_EQ(c.StartingMacroNum, 2);
    EXPECT_EQ(edit.StartingMacroNum, "2");
    EXPECT_EQ(edit.MacroComboList, (Lines{"  1  HOME        ", "* 2  PLACE       "}));

    // A number no line shows stays as typed.
    f = form("C", *edit.MacroComboList);
    f.StartingMacroNum = "7";
    edit = library::saveCombination(state, f, prompter);
    EXPECT_EQ(stored("C").StartingMacroNum, 7);
    EXPECT_FALSE(edit.StartingMacroNum);
}

TEST_F(CombinationEditor, aNameLongerThanSixteenIsRefusedBySaveDeleteAndTheSequenceEditor) {
    brindle::testing::addCombo(dir.path(), "ABCDEFGHIJKLMNOP", {{0, home}});
    const std::string before = combos();
    const std::string name = "ABCDEFGHIJKLMNOPQ";
    EXPECT_EQ(library::saveCombination(state, form(name), prompter).outcome, EditOutcome::Refused);
    EXPECT_EQ(library::deleteCombination(state, name + "  ", prompter).outcome,
              EditOutcome::Refused);
    library::ComboForm f = form(name, {"  1  HOME        "});
    f.selectedLine = 0;
    EXPECT_EQ(library::insertMacro(state, f, "HOME", prompter).outcome, EditOutcome::Refused);
    EXPECT_EQ(library::unlinkMacro(state, f, prompter).outcome, EditOutcome::Refused);
    ASSERT_EQ(prompter.messages.size(), 4u);  // no question asked
    const std::string message =
        "The combination name \"ABCDEFGHIJKLMNOPQ\" has 17 characters; a "
        "combination name holds at most 16. ";
    EXPECT_EQ(prompter.messages[0].text, message + "The combination was not saved.");
    EXPECT_EQ(prompter.messages[1].text, message + "Nothing was deleted.");
    EXPECT_EQ(prompter.messages[2].text, message + "Nothing was inserted.");
    EXPECT_EQ(prompter.messages[3].text, message + "Nothing was removed.");
    EXPECT_EQ(combos(), before);
}

// DescriptionText's text: stored as loaded while unchanged (an LF stays one
// byte); refused when its CR LF line ends alone would make it too long.
TEST_F(CombinationEditor, anUnchangedDescriptionIsStoredAsLoadedAndACuttingOneRefused) {
    const std::string loaded = "Line one\n" + std::string(71, 'x');  // 80 characters
    const library::BoxText unchanged{library::shownLineBreaks(loaded), loaded};
    ASSERT_EQ(library::saveCombination(state, form("C"), unchanged, prompter).outcome,
              EditOutcome::Done);
    EXPECT_EQ(stored("C").Description, loaded);

    const std::string before = combos();
    const library::BoxText changed{"Line one\n" + std::string(70, 'x') + "y", loaded};
    prompter.messages.clear();
    EXPECT_EQ(library::saveCombination(state, form("D"), changed, prompter).outcome,
              EditOutcome::Refused);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "The description would have 81 characters with each line ending in CR LF; a "
              "description holds at most 80. The combination was not saved.");
    EXPECT_EQ(combos(), before);
}
