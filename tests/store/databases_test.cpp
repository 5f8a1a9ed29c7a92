#include "store/databases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "store/record_file.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle::store;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

class Databases : public ::testing::Test {
  protected:
    ComboRecord combo(const std::string& name) {
        ComboRecord r;
        r.Name = name;
        return r;
    }
    void addCombo(const std::string& name) { brindle::testing::addCombo(dir.path(), name); }
    int32_t addMacro(const std::string& name) {
        return brindle::testing::addMacro(dir.path(), name);
    }
    TempDir dir;
    MacroRecord buffer;
};

}  // namespace

TEST_F(Databases, countIgnoresATrailingPartialRecordAndAnAppendOverwritesIt) {
    addCombo("A");
    std::string bytes = readBytes(comboDbPath(dir.path()));
    writeBytes(comboDbPath(dir.path()), bytes + std::string(100, 'x'));
    EXPECT_EQ(comboCount(dir.path()), 1);
    EXPECT_EQ(listComboNames(dir.path()), std::vector<std::string>{"A               "});
    addCombo("B");
    EXPECT_EQ(readBytes(comboDbPath(dir.path())).size(), 2 * 1140u);
    EXPECT_EQ(listComboNames(dir.path()).size(), 2u);
}

TEST_F(Databases, macroCountIgnoresPartialRecords) {
    addMacro("M1");
    std::string bytes = readBytes(macroDbPath(dir.path()));
    writeBytes(macroDbPath(dir.path()), bytes + std::string(16359, ' '));
    EXPECT_EQ(macroCount(dir.path()), 1);
    EXPECT_EQ(listMacroNames(dir.path(), buffer).size(), 1u);
}

TEST_F(Databases, missingFilesAreCreatedEmptyAndListNothing) {
    EXPECT_TRUE(listComboNames(dir.path()).empty());
    EXPECT_TRUE(listMacroNames(dir.path(), buffer).empty());
    EXPECT_EQ(readBytes(comboDbPath(dir.path())), "");
    EXPECT_TRUE(fileLength(macroDbPath(dir.path())).has_value());
}

TEST_F(Databases, lookupsAreCaseSensitiveAndIgnoreTrailingBlanks) {
    addMacro("Home");
    addMacro("HOME");
    EXPECT_EQ(FindMacro(dir.path(), "HOME", buffer), 2);
    EXPECT_EQ(FindMacro(dir.path(), "Home    ", buffer), 1);
    EXPECT_EQ(buffer.Name, "Home        ");
    EXPECT_EQ(FindMacro(dir.path(), " Home", buffer), std::nullopt);
    EXPECT_EQ(buffer.Name, "HOME        ");  // the last record read
    addCombo("Line One");
    EXPECT_EQ(FindCombo(dir.path(), "Line One        ")->number, 1);
    EXPECT_FALSE(FindCombo(dir.path(), "line one").has_value());
}

TEST_F(Databases, longNamesAreCutAndFoundByTheirFullText) {
    addMacro("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(FindMacro(dir.path(), "ABCDEFGHIJKLMNOP", buffer), 1);
    EXPECT_EQ(FindMacro(dir.path(), "ABCDEFGHIJKL", buffer), 1);
}

TEST_F(Databases, listsSkipBlankNamesAndKeepFileOrderAndPadding) {
    addCombo("B");
    addCombo("");
    addCombo("A");
    EXPECT_EQ(listComboNames(dir.path()),
              (std::vector<std::string>{"B               ", "A               "}));
}

TEST(SequenceLineText, marksTheBootMacroOnlyForPositionsOneToNine) {
    EXPECT_EQ(SequenceLine(3, 0, "HOME"), "  3  HOME        ");
    EXPECT_EQ(SequenceLine(3, 3, "HOME"), "* 3  HOME        ");
    EXPECT_EQ(SequenceLine(12, 12, "HOME"), " 12  HOME        ");
    EXPECT_EQ(SequenceLine(12, 0, "HOME"), " 12  HOME        ");
    EXPECT_EQ(SequenceLine(256, 256, "X"), "256  X           ");
    EXPECT_EQ(sequenceLineName("* 3  HOME        "), "HOME        ");
}

TEST_F(Databases, sequenceSkipsEmptySlotsDeletedMacrosAndNumbersPastTheEnd) {
    int32_t a = addMacro("A");
    int32_t b = addMacro("B");
    ComboRecord c = combo("C");
    c.Sequence[0] = a;
    c.Sequence[1] = b;
    c.Sequence[2] = a;
    c.Sequence[3] = -5;
    c.Sequence[4] = 99;
    c.StartingMacroNum = 3;
    auto deleted = deleteMacro(dir.path(), "B", buffer);
    ASSERT_TRUE(deleted.ok());
    EXPECT_TRUE(*deleted);
    auto entries = sequenceEntries(dir.path(), c, buffer);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].line, "  1  A           ");
    EXPECT_EQ(entries[1].line, "* 3  A           ");
    EXPECT_EQ(entries[1].position, 3);
}

TEST_F(Databases, macroDeletionBlanksNameAndBodyInPlaceAndKeepsTheRest) {
    MacroRecord r;
    r.Name = "KEEP";
    r.Reserved = "reserved-123";
    r.Body = "body";
    r.Spare1 = 7;
    ASSERT_TRUE(writeMacro(dir.path(), 1, r));
    addMacro("OTHER");
    ASSERT_TRUE(deleteMacro(dir.path(), "KEEP", buffer));
    EXPECT_EQ(macroCount(dir.path()), 2);
    MacroRecord back = *readMacro(dir.path(), 1);
    EXPECT_EQ(back.Name, std::string(12, ' '));
    EXPECT_EQ(back.Body, std::string(16332, ' '));
    EXPECT_EQ(back.Reserved, "reserved-123");
    EXPECT_EQ(back.Spare1, 7);
    EXPECT_EQ(FindMacro(dir.path(), "OTHER", buffer), 2);
}

TEST_F(Databases, deletingTheOnlyCombinationLeavesBothFilesEmpty) {
    addCombo("ONLY");
    auto deleted = deleteCombo(dir.path(), "ONLY");
    ASSERT_TRUE(deleted.ok());
    EXPECT_TRUE(*deleted);
    EXPECT_EQ(readBytes(comboDbPath(dir.path())), "");
    EXPECT_EQ(readBytes(dir.file("ComboDb.tmp")), "");
    // No temporary file or journal is left behind; the lock file stays.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"ComboDb.Dat", "ComboDb.tmp", "Library.Lck"}));
}

TEST_F(Databases, deletingTwoInARowKeepsTheRestInOrderWithNoRepeats) {
    for (const char* n : {"A", "B", "C", "D"}) {
        addCombo(n);
    }
    ASSERT_TRUE(deleteCombo(dir.path(), "B"));
    ASSERT_TRUE(deleteCombo(dir.path(), "D"));
    EXPECT_EQ(listComboNames(dir.path()),
              (std::vector<std::string>{"A               ", "C               "}));
    EXPECT_EQ(readBytes(comboDbPath(dir.path())).size(), 2 * 1140u);
    EXPECT_EQ(readBytes(dir.file("ComboDb.tmp")), readBytes(comboDbPath(dir.path())));
}

TEST_F(Databases, aDeletionDropsOnlyEmptyRecordsAndKeepsNamesThatBeginWithBlanks) {
    addCombo("  HIDDEN");
    addCombo("X");
    addCombo("");  // an empty record written from outside
    addCombo("Y");
    ASSERT_TRUE(deleteCombo(dir.path(), "X"));
    EXPECT_EQ(listComboNames(dir.path()),
              (std::vector<std::string>{"  HIDDEN        ", "Y               "}));
    EXPECT_EQ(readBytes(comboDbPath(dir.path())).size(), 2 * 1140u);
    EXPECT_EQ(FindCombo(dir.path(), "  HIDDEN")->number, 1);
}

TEST_F(Databases, deletingAMissingCombinationChangesNothing) {
    addCombo("A");
    const std::string before = readBytes(comboDbPath(dir.path()));
    auto deleted = deleteCombo(dir.path(), "Z");
    ASSERT_TRUE(deleted.ok());
    EXPECT_FALSE(*deleted);
    EXPECT_EQ(readBytes(comboDbPath(dir.path())), before);
}

TEST_F(Databases, aFailedWriteLeavesTheFileAsItWas) {
    addCombo("A");
    const std::string before = readBytes(comboDbPath(dir.path()));
    // A record of the wrong size is refused before anything is written.
    EXPECT_FALSE(writeRecord(comboDbPath(dir.path()), 1140, 2, std::string(10, 'x')));
    EXPECT_EQ(readBytes(comboDbPath(dir.path())), before);
    // A data folder that does not exist cannot be written at all.
    EXPECT_FALSE(writeCombo(dir.path() + "missing/", 1, combo("B")));
}

TEST_F(Databases, nameFieldsListEveryWholeRecordDeletedOnesIncluded) {
    addMacro("A");
    addMacro("B");
    ASSERT_TRUE(deleteMacro(dir.path(), "A", buffer));
    const std::string bytes = readBytes(macroDbPath(dir.path()));
    writeBytes(macroDbPath(dir.path()), bytes + "PARTIAL NAME and more");
    EXPECT_EQ(macroNameFields(dir.path()),
              (std::vector<std::string>{"            ", "B           "}));
    addCombo("  LEADING");
    EXPECT_EQ(comboNameFields(dir.path()), std::vector<std::string>{"  LEADING       "});
}

TEST_F(Databases, listingMacroNamesLeavesTheLastRecordInTheBuffer) {
    addMacro("A");
    MacroRecord last;
    last.Name = "";
    last.Reserved = "last-record!";
    ASSERT_TRUE(writeMacro(dir.path(), 2, last));
    EXPECT_EQ(listMacroNames(dir.path(), buffer), std::vector<std::string>{"A           "});
    EXPECT_EQ(buffer.Reserved, "last-record!");
}

TEST(SequenceLineText, thePositionIsReadBackFromTheLine) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"  3  HOME        ", 3},   {"* 3  HOME        ", 3}, {" 12  X           ", 12},
        {"256  X           ", 256}, {"257  X", std::nullopt}, {"  0  X", std::nullopt},
        {"HOME", std::nullopt},     {"", std::nullopt},       {"1 2  X", std::nullopt},
    };
    for (const auto& [line, position] : cases) {
        EXPECT_EQ(sequenceLinePosition(line), position) << '"' << line << '"';
    }
}
