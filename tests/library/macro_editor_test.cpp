// The macro editor on a temporary data folder: choosing, New, Save and Delete,
// with the questions answered by a script.
#include "library/macro_editor.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/text.h"

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

namespace {

const std::string kWarning =
    "Warning, 'MACRO ###' Statement missing at end of macro (where ### may range from 0 to 255. "
    "Example, 'MACRO 2')";

class MacroEditor : public ::testing::Test {
  protected:
    void SetUp() override { state.DataDir = dir.path(); }
    int32_t addMacro(const std::string& name, const std::string& text = "MACRO 1") {
        return brindle::testing::addMacro(dir.path(), name, text);
    }
    std::string database() const { return readBytes(dir.file("MacroDb.Dat")); }
    std::string record(int32_t n) const {
        return database().substr(static_cast<std::size_t>(n - 1) * 16360, 16360);
    }

    TempDir dir;
    state::MainState state;
    ScriptedPrompter prompter;
};

}  // namespace

TEST_F(MacroEditor, choosingShowsTheTextWithoutOuterBlanksAndItsSize) {
    addMacro("FIRST");
    addMacro("HOME", "  1 MA 0\r\nMACRO 2   ");
    library::MacroEdit edit = library::chooseMacro(state, "HOME        ");
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_EQ(edit.MacroText, "1 MA 0\r\nMACRO 2");
    EXPECT_EQ(edit.MacroSizeLabel, "15 Bytes");
    EXPECT_FALSE(edit.MacroList);  // the chosen entry stays on the line
}

TEST_F(MacroEditor, choosingAnAllBlankTextShowsNothingAndZeroBytes) {
    addMacro("EMPTY", "");
    library::MacroEdit edit = library::chooseMacro(state, "EMPTY");
    EXPECT_EQ(edit.MacroText, "");
    EXPECT_EQ(edit.MacroSizeLabel, "0 Bytes");
}

TEST_F(MacroEditor, choosingANameNoLongerStoredChangesNothing) {
    addMacro("HOME");
    library::MacroEdit edit = library::chooseMacro(state, "GONE");
    EXPECT_EQ(edit.outcome, EditOutcome::NotFound);
    EXPECT_FALSE(edit.MacroText || edit.MacroSizeLabel || edit.MacroList);
}

TEST_F(MacroEditor, newEmptiesTheNameAndTextAndTheSizeFollows) {
    library::MacroEdit edit = library::newMacro();
    EXPECT_EQ(edit.MacroList, "");
    EXPECT_EQ(edit.MacroText, "");
    EXPECT_EQ(edit.MacroSizeLabel, "0 Bytes");
}

TEST_F(MacroEditor, aNewNameIsAppendedByteForByteWithTheReservedBytesOfTheLastRecordRead) {
    store::MacroRecord older;
    older.Name = "OLD";
    older.Reserved = "R1-234567890";
    older.Spare1 = 5;
    ASSERT_TRUE(store::writeMacro(dir.path(), 1, older));

    library::MacroEdit edit = library::saveMacro(state, "Pick", "1 MA 5\r\nMACRO 3", prompter);

    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(edit.addedEntry, "Pick        ");
    ASSERT_EQ(database().size(), 2 * 16360u);
    const std::string bytes = record(2);
    // Name, Reserved (from the record the look-up read last), the text.
    EXPECT_EQ(toHex(bytes.substr(0, 39)),
              "50 69 63 6B 20 20 20 20 20 20 20 20 "
              "52 31 2D 32 33 34 35 36 37 38 39 30 "
              "31 20 4D 41 20 35 0D 0A 4D 41 43 52 4F 20 33");
    // Blank fill to the end of the body, then Spare1 and Spare2 as 0.
    EXPECT_EQ(toHex(bytes.substr(16352)), "20 20 20 20 00 00 00 00");
    EXPECT_EQ(bytes.find_first_not_of(' ', 39), 16356u);
}

TEST_F(MacroEditor, overwritingAfterYesKeepsTheRecordNumberAndItsReservedBytes) {
    addMacro("A");
    store::MacroRecord home;
    home.Name = "HOME";
    home.Reserved = "keep-these!!";
    home.Body = "old text that is longer";
    ASSERT_TRUE(store::writeMacro(dir.path(), 2, home));
    addMacro("C");

    library::MacroEdit edit = library::saveMacro(state, "HOME", "MACRO 9", prompter);

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Record already present. Do you wish to over-write this record?");
    EXPECT_EQ(prompter.messages[0].title, "Confirm Record Over-Write");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::YesNo);
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_FALSE(edit.addedEntry);
    EXPECT_EQ(database().size(), 3 * 16360u);
    const std::string bytes = record(2);
    EXPECT_EQ(bytes.substr(0, 24), "HOME        keep-these!!");
    EXPECT_EQ(bytes.substr(24, 8), "MACRO 9 ");
    EXPECT_EQ(bytes.find_first_not_of(' ', 31), 16356u);
}

TEST_F(MacroEditor, answeringNoWritesNothingYetTakesTheRecordNumber) {
    addMacro("A");
    addMacro("HOME", "MACRO 1");
    const std::string before = database();
    prompter.answers = {base::Answer::No};
    library::MacroEdit edit = library::saveMacro(state, "HOME", "MACRO 2", prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Declined);
    EXPECT_EQ(database(), before);
    EXPECT_FALSE(edit.addedEntry);
}

TEST_F(MacroEditor, theMacroStatementWarningDependsOnTheWordAnywhereInAnyCase) {
    struct Case {
        const char* text;
        bool warned;
    };
    const Case cases[] = {
        {"1 MA 0\r\nMACRO 2", false},
        {"macro 7\r\n1 MA 0", false},
        {"/* MaCrO */", false},
        {"1 MA 0", true},
        {"", true},
        {"MAC RO 2", true},
    };
    for (const Case& c : cases) {
        TempDir folder;
        state.DataDir = folder.path();
        ScriptedPrompter p;
        library::MacroEdit edit = library::saveMacro(state, "M", c.text, p);
        EXPECT_EQ(edit.outcome, EditOutcome::Done) << c.text;
        if (c.warned) {
            ASSERT_EQ(p.messages.size(), 1u) << c.text;
            EXPECT_EQ(p.messages[0].text, kWarning);
            EXPECT_EQ(p.messages[0].icon, base::Icon::Critical);
            EXPECT_EQ(p.messages[0].buttons, base::Buttons::Ok);
            EXPECT_EQ(p.messages[0].title, "Brindle");
        } else {
            EXPECT_TRUE(p.messages.empty()) << c.text;
        }
        // The warning never stops the save.
        EXPECT_EQ(readBytes(folder.file("MacroDb.Dat")).size(), 16360u) << c.text;
    }
}

TEST_F(MacroEditor, aBlankNameIsRefusedAndNothingIsWritten) {
    addMacro("A");
    ASSERT_TRUE(store::deleteMacro(dir.path(), "A", state.MacroBuffer));
    const std::string before = database();
    for (const std::string name : {"", "   ", "            "}) {
        prompter.messages.clear();
        library::MacroEdit edit = library::saveMacro(state, name, "MACRO 1", prompter);
        EXPECT_EQ(edit.outcome, EditOutcome::Refused) << '"' << name << '"';
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text,
                  "A macro needs a name that is not blank. The macro was not saved.");
        EXPECT_EQ(prompter.messages[0].icon, base::Icon::Critical);
        EXPECT_FALSE(edit.addedEntry);
    }
    // The deleted record was not offered for over-writing, nothing appended.
    EXPECT_EQ(database(), before);
}

TEST_F(MacroEditor, aLongTextIsCutToItsFieldAndTheSizeFollowsTheSave) {
    const std::string text = "MACRO 1" + std::string(16400, 'x');
    library::MacroEdit edit = library::saveMacro(state, "ABCDEFGHIJKL  ", text, prompter);
    EXPECT_EQ(edit.addedEntry, "ABCDEFGHIJKL");
    EXPECT_EQ(edit.MacroSizeLabel, "16332 Bytes");
    const std::string bytes = record(1);
    EXPECT_EQ(bytes.substr(24, 16332), text.substr(0, 16332));
    EXPECT_EQ(library::saveMacro(state, "SHORT", "  MACRO 2 ", prompter).MacroSizeLabel, "7 Bytes");
}

TEST_F(MacroEditor, aNameLongerThanItsFieldIsRefusedBySaveAndDelete) {
    addMacro("ABCDEFGHIJKL");
    const std::string before = database();
    const std::string message =
        "The macro name \"ABCDEFGHIJKLM\" has 13 characters; a macro name holds at most 12. ";
    EXPECT_EQ(library::saveMacro(state, "ABCDEFGHIJKLM ", "MACRO 1", prompter).outcome,
              EditOutcome::Refused);
    EXPECT_EQ(library::deleteMacro(state, "ABCDEFGHIJKLM", prompter).outcome, EditOutcome::Refused);
    ASSERT_EQ(prompter.messages.size(), 2u);  // no question asked
    EXPECT_EQ(prompter.messages[0].text, message + "The macro was not saved.");
    EXPECT_EQ(prompter.messages[1].text, message + "Nothing was deleted.");
    EXPECT_EQ(prompter.messages[1].icon, base::Icon::Critical);
    EXPECT_EQ(database(), before);
}

// MacroText's text: stored as loaded while unchanged; a changed text gets
// CR LF line ends, unless those alone would make it longer than the field.
TEST_F(MacroEditor, aBoxTextIsStoredAsLoadedUntilChangedAndNeverCutByItsLineEnds) {
    const std::string lfLines = std::string(8000, 'a') + "\n" + std::string(8330, 'b') + "\nMACRO";
    struct Case {
        const char* what;
        std::string shown;
        std::string loaded;
        std::optional<std::string> stored;  // nothing: refused
    };
    const Case cases[] = {
        {"unchanged, LF only, full", library::shownLineBreaks(lfLines.substr(0, 16332)),
         lfLines.substr(0, 16332), lfLines.substr(0, 16332)},
        {"changed, fits", "1 MA 5\nMACRO 7", "1 MA 5\nMACRO 6", "1 MA 5\r\nMACRO 7"},
        {"changed, line ends would cut it", lfLines.substr(0, 16331) + "c", lfLines, std::nullopt},
        {"changed, too long as shown: cut", std::string(16340, 'd'), "", std::string(16340, 'd')},
    };
    for (const Case& c : cases) {
        TempDir folder;
        state.DataDir = folder.path();
        ScriptedPrompter p;
        library::MacroEdit edit =
            library::saveMacro(state, "M", library::BoxText{c.shown, c.loaded}, p);
        const std::string bytes = readBytes(folder.file("MacroDb.Dat"));
        if (!c.stored) {
            EXPECT_EQ(edit.outcome, EditOutcome::Refused) << c.what;
            EXPECT_EQ(bytes, "") << c.what;
            ASSERT_EQ(p.messages.size(), 1u) << c.what;
            EXPECT_EQ(p.messages[0].text,
                      "The macro text would have 16333 characters with each line ending in CR "
                      "LF; a macro holds at most 16332. The macro was not saved.");
            continue;
        }
        EXPECT_EQ(edit.outcome, EditOutcome::Done) << c.what;
        ASSERT_EQ(bytes.size(), 16360u) << c.what;
        EXPECT_EQ(bytes.substr(24, 16332), base::fixedWidth(*c.stored, 16332)) << c.what;
    }
}

// What the Macro Module would not keep as written: one warning, and the save
// goes on.
TEST_F(MacroEditor, saveWarnsOfJumpsWithoutLabelsAndNumbersTooLargeForTheirField) {
    library::MacroEdit edit = library::saveMacro(
        state, "M", "1 st 300000\r\nGOTO NOWHERE\r\n2 ST 5 >ELSE\r\nMACRO 300", prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Warning, the Macro Module will not hold this macro as written (the macro is "
              "saved):\r\n"
              "status argument \"300000\" does not fit four hex digits (at most 65535); it is "
              "stored as 93E0\r\n"
              "MACRO number \"300\" does not fit one byte (at most 255); it is stored as 0\r\n"
              "no label \"NOWHERE\"; the jump keeps its place holder\r\n"
              "no label \"ELSE\"; the jump keeps its place holder");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(record(1).substr(24, 12), "1 st 300000\r");

    // Lines that end in LF alone (as add-macro may store them) are one line.
    prompter.messages.clear();
    library::saveMacro(state, "LF", "1 MA 1\nMACRO 2\r\n1 MA 2\nX\nMACRO 3", prompter);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              "Warning, the Macro Module will not hold this macro as written (the macro is "
              "saved):\r\n3 line breaks are LF alone, which does not end a line: the lines "
              "around them are compiled as one");

    prompter.messages.clear();
    EXPECT_EQ(library::saveMacro(state, "N", "1 ST 65535\r\nTOP: 1 MA 1\r\nGOTO TOP\r\nMACRO 255",
                                 prompter)
                  .outcome,
              EditOutcome::Done);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(MacroEditor, aTextSavedWithLeadingBlanksIsShownWithoutThem) {
    ASSERT_EQ(library::saveMacro(state, "LEAD", "   MACRO 4", prompter).outcome, EditOutcome::Done);
    EXPECT_EQ(record(1).substr(24, 10), "   MACRO 4");
    EXPECT_EQ(library::chooseMacro(state, "LEAD").MacroText, "MACRO 4");
}

TEST_F(MacroEditor, aSaveThatCannotWriteFailsAndAddsNoEntry) {
    state.DataDir = dir.path() + "missing/";
    library::MacroEdit edit = library::saveMacro(state, "HOME", "MACRO 1", prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Failed);
    // The folder is what is wrong, and the message says so.
    EXPECT_NE(edit.failure.message().find(state.DataDir), std::string::npos);
    EXPECT_NE(edit.failure.message().find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(edit.addedEntry);
}

TEST_F(MacroEditor, deletingAfterYesBlanksTheRecordInPlaceAndRefillsTheList) {
    addMacro("A");
    store::MacroRecord b;
    b.Name = "B";
    b.Reserved = "reserved-b12";
    b.Body = "MACRO 2";
    b.Spare2 = 9;
    ASSERT_TRUE(store::writeMacro(dir.path(), 2, b));
    addMacro("C");

    library::MacroEdit edit = library::deleteMacro(state, "B", prompter);

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Are you sure you want to delete this macro?");
    EXPECT_EQ(prompter.messages[0].title, "Confirm Record Deletion");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::YesNo);
    EXPECT_EQ(edit.outcome, EditOutcome::Done);
    EXPECT_EQ(edit.MacroList, "");
    EXPECT_EQ(edit.MacroText, "");
    EXPECT_EQ(edit.MacroSizeLabel, "0 Bytes");
    EXPECT_EQ(edit.listEntries, (std::vector<std::string>{"A           ", "C           "}));
    const std::string bytes = record(2);
    EXPECT_EQ(bytes.substr(0, 24), "            reserved-b12");
    EXPECT_EQ(bytes.find_first_not_of(' ', 24), 16356u);
    EXPECT_EQ(toHex(bytes.substr(16356)), "00 00 09 00");
    EXPECT_EQ(database().size(), 3 * 16360u);
}

TEST_F(MacroEditor, answeringNoDeletesNothingAndLeavesTheList) {
    addMacro("A");
    const std::string before = database();
    prompter.answers = {base::Answer::No};
    library::MacroEdit edit = library::deleteMacro(state, "A", prompter);
    EXPECT_EQ(edit.outcome, EditOutcome::Declined);
    EXPECT_FALSE(edit.listEntries);
    EXPECT_EQ(database(), before);
}

TEST_F(MacroEditor, deletingAnUnknownOrBlankNameAsksThenRefillsAndWritesNothing) {
    addMacro("A");
    addMacro("B");
    ASSERT_TRUE(store::deleteMacro(dir.path(), "A", state.MacroBuffer));
    const std::string before = database();
    for (const char* name : {"Z", "  "}) {
        prompter.messages.clear();
        library::MacroEdit edit = library::deleteMacro(state, name, prompter);
        EXPECT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(edit.outcome, EditOutcome::NotFound);
        EXPECT_FALSE(edit.MacroList);
        EXPECT_EQ(edit.listEntries, std::vector<std::string>{"B           "});
    }
    EXPECT_EQ(database(), before);
}
