// Export of a library as text files and import into an empty folder.
#include "library/library_exchange.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "store/databases.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;
using library::EditOutcome;

namespace {

class LibraryExchange : public ::testing::Test {
  protected:
    std::string exported(const std::string& file) const { return readBytes(out.path() + file); }

    TempDir source;
    TempDir out;
    TempDir target;
    store::MacroRecord buffer;
};

}  // namespace

TEST_F(LibraryExchange, anExportImportedIntoAnEmptyFolderGivesBackEveryTextFieldAndPosition) {
    const std::string dir = source.path();
    const int32_t home = brindle::testing::addMacro(dir, "HOME", "  /* lead */\r\nMACRO 2\r\n");
    const int32_t gone = brindle::testing::addMacro(dir, "GONE", "MACRO 9");
    const int32_t slash =
        brindle::testing::addMacro(dir, "a/b", std::string("\x01\xff\tMACRO 3", 10));
    store::MacroRecord odd;
    odd.Name = "  odd\"name";
    odd.Reserved = "RESERVED-123";
    odd.Body = "MACRO 4";
    ASSERT_TRUE(store::writeMacro(dir, 4, odd));
    ASSERT_TRUE(store::deleteMacro(dir, "GONE", buffer));
    store::ComboRecord c;
    c.Name = "  TWO BLANKS";
    c.Version = "v1.2 \"q\"";
    c.Description = "first line\r\nsecond";
    c.NodeAddress = -300;
    c.StartingMacroNum = 7;
    c.Sequence[0] = home;
    c.Sequence[2] = slash;  // a gap at position 2
    c.Sequence[6] = gone;   // a deleted macro
    c.Sequence[255] = 4;
    ASSERT_TRUE(store::writeCombo(dir, 1, c));
    brindle::testing::addCombo(dir, "EMPTY");

    library::ExchangeResult exportResult = library::exportLibrary(dir, out.path() + "lib");
    ASSERT_EQ(exportResult.outcome, EditOutcome::Done) << exportResult.problem;
    EXPECT_EQ(exportResult.macros, 3);
    EXPECT_EQ(exportResult.combinations, 2);
    EXPECT_EQ(exported("lib/macros/a%2Fb.txt"), std::string("\x01\xff\tMACRO 3", 10));
    EXPECT_EQ(exported("lib/macros/HOME.txt"), "  /* lead */\r\nMACRO 2\r\n");
    EXPECT_FALSE(std::filesystem::exists(out.path() + "a"));

    library::ExchangeResult importResult =
        library::importLibrary(target.path(), out.path() + "lib");
    ASSERT_EQ(importResult.outcome, EditOutcome::Done) << importResult.problem;
    for (const char* name : {"HOME", "a/b", "  odd\"name"}) {
        auto before = store::FindMacro(dir, name, buffer);
        const store::MacroRecord original = buffer;
        auto after = store::FindMacro(target.path(), name, buffer);
        ASSERT_TRUE(before && after) << name;
        EXPECT_EQ(buffer.encode(), original.encode()) << name;
    }
    EXPECT_EQ(store::listMacroNames(target.path(), buffer),
              (std::vector<std::string>{"HOME        ", "a/b         ", "  odd\"name  "}));
    const store::ComboRecord back = store::FindCombo(target.path(), "  TWO BLANKS")->record;
    EXPECT_EQ(back.Version, c.Version + std::string(8, ' '));
    EXPECT_EQ(back.Description, store::ComboRecord{}.Description.replace(0, 18, c.Description));
    EXPECT_EQ(back.NodeAddress, -300);
    EXPECT_EQ(back.StartingMacroNum, 7);
    for (std::size_t s = 0; s < 256; ++s) {
        const bool filled = s == 0 || s == 2 || s == 6 || s == 255;
        EXPECT_EQ(back.Sequence[s] > 0, filled) << s;
    }
    EXPECT_EQ(store::readMacro(target.path(), back.Sequence[0])->encode(),
              store::readMacro(dir, home)->encode());
    EXPECT_EQ(store::readMacro(target.path(), back.Sequence[255])->Name, "  odd\"name  ");
    // The deleted macro is still a deleted record: listed nowhere.
    EXPECT_EQ(store::readMacro(target.path(), back.Sequence[6])->Name, std::string(12, ' '));
    std::vector<std::string> before;
    std::vector<std::string> after;
    for (const auto& e : store::sequenceEntries(dir, c, buffer)) {
        before.push_back(e.line);
    }
    for (const auto& e : store::sequenceEntries(target.path(), back, buffer)) {
        after.push_back(e.line);
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(store::listComboNames(target.path()), store::listComboNames(dir));
}

TEST_F(LibraryExchange, aReExportRemovesTheFilesOfDeletedMacrosOnly) {
    brindle::testing::addMacro(source.path(), "KEEP", "MACRO 1");
    brindle::testing::addMacro(source.path(), "DROP", "MACRO 2");
    ASSERT_EQ(library::exportLibrary(source.path(), out.path()).outcome, EditOutcome::Done);
    writeBytes(out.path() + "README", "mine");
    ASSERT_TRUE(store::deleteMacro(source.path(), "DROP", buffer));
    ASSERT_EQ(library::exportLibrary(source.path(), out.path()).outcome, EditOutcome::Done);
    EXPECT_TRUE(std::filesystem::exists(out.path() + "macros/KEEP.txt"));
    EXPECT_FALSE(std::filesystem::exists(out.path() + "macros/DROP.txt"));
    EXPECT_EQ(readBytes(out.path() + "README"), "mine");
}

TEST_F(LibraryExchange, namesThatDifferOnlyInCaseGetDistinctFiles) {
    brindle::testing::addMacro(source.path(), "Home", "MACRO 1");
    brindle::testing::addMacro(source.path(), "HOME", "MACRO 2");
    ASSERT_EQ(library::exportLibrary(source.path(), out.path()).outcome, EditOutcome::Done);
    EXPECT_EQ(exported("macros/Home.txt"), "MACRO 1");
    EXPECT_EQ(exported("macros/HOME~2.txt"), "MACRO 2");
}

TEST_F(LibraryExchange, anExportIsRefusedForSharedNamesOrAFolderOfOtherFiles) {
    brindle::testing::addMacro(source.path(), "TWIN", "MACRO 1");
    brindle::testing::addMacro(source.path(), "TWIN", "MACRO 2");
    library::ExchangeResult twins = library::exportLibrary(source.path(), out.path() + "x");
    EXPECT_EQ(twins.outcome, EditOutcome::Refused);
    EXPECT_EQ(twins.problem,
              "More than one macro is named \"TWIN\"; a sequence could not say which one it "
              "holds. Rename one of them. Nothing was exported.");
    EXPECT_FALSE(std::filesystem::exists(out.path() + "x"));

    TempDir clean;
    brindle::testing::addMacro(clean.path(), "ONE", "MACRO 1");
    writeBytes(out.path() + "notes.txt", "not an export");
    library::ExchangeResult busy = library::exportLibrary(clean.path(), out.path());
    EXPECT_EQ(busy.outcome, EditOutcome::Refused);
    EXPECT_FALSE(std::filesystem::exists(out.path() + "macros"));
    library::ExchangeResult file = library::exportLibrary(clean.path(), out.path() + "notes.txt");
    EXPECT_EQ(file.outcome, EditOutcome::Refused);
}

TEST_F(LibraryExchange, anImportIsRefusedIntoALibraryOrFromADamagedExportAndWritesNothing) {
    brindle::testing::addMacro(source.path(), "A", "MACRO 1");
    brindle::testing::addCombo(source.path(), "C", {{0, 1}});
    ASSERT_EQ(library::exportLibrary(source.path(), out.path()).outcome, EditOutcome::Done);

    library::ExchangeResult full = library::importLibrary(source.path(), out.path());
    EXPECT_EQ(full.outcome, EditOutcome::Refused);

    const std::string index = exported("macros.txt");
    const std::string combos = exported("combinations.txt");
    const std::pair<std::string, std::string> damages[] = {
        {"combinations.txt",
         "combination \"C\"\nversion \"\"\ndescription \"\"\nnode 0\nboot 0\n"
         "1 \"MISSING\"\nend\n"},
        {"macros.txt", "\"A\" nothere.txt\n"},
        {"macros.txt", "\"A\" A.txt\n\"A\" A.txt\n"},
        {"macros.txt", "\"THIRTEEN-LONG\" A.txt\n"},
        {"macros/A.txt", std::string(16333, 'x')},
    };
    for (const auto& [file, content] : damages) {
        const std::string original = exported(file);
        writeBytes(out.path() + file, content);
        library::ExchangeResult result = library::importLibrary(target.path(), out.path());
        EXPECT_EQ(result.outcome, EditOutcome::Refused) << file << ": " << content.substr(0, 40);
        EXPECT_NE(result.problem.find("Nothing was imported."), std::string::npos);
        EXPECT_EQ(store::macroCount(target.path()), 0);
        EXPECT_EQ(store::comboCount(target.path()), 0);
        writeBytes(out.path() + file, original);
    }
    EXPECT_EQ(exported("macros.txt"), index);
    EXPECT_EQ(exported("combinations.txt"), combos);
    EXPECT_EQ(library::importLibrary(target.path(), out.path()).outcome, EditOutcome::Done);
}

TEST_F(LibraryExchange, anImportReadsOnlyRegularFilesInsideItsFolderAndRefusesByNameOrSize) {
    const std::string index = "# Brindle macro library export\n\"A\" A.txt\n";
    const std::string combos =
        "combination \"C\"\nversion \"\"\ndescription \"\"\nnode 65\nboot 0\n1 \"A\"\nend\n";
    TempDir outside;
    writeBytes(outside.file("A.txt"), "SECRET");
    writeBytes(outside.file("macros.txt"), index);
    const std::string lib = out.path();
    struct Case {
        const char* what;
        std::function<void()> spoil;
        std::string problem;  // the refusal, before " Nothing was imported."
    };
    const Case cases[] = {
        {"a text that is a link",
         [&] {
             std::filesystem::remove(lib + "macros/A.txt");
             std::filesystem::create_symlink(outside.file("A.txt"), lib + "macros/A.txt");
         },
         lib + "macros/A.txt is a symbolic link, which is never followed, not a regular file."},
        {"a text folder that is a link",
         [&] {
             std::filesystem::remove_all(lib + "macros");
             std::filesystem::create_symlink(outside.path(), lib + "macros");
         },
         lib + "macros is a symbolic link, which is never followed, not a regular file."},
        {"an index that is a link",
         [&] {
             std::filesystem::remove(lib + "macros.txt");
             std::filesystem::create_symlink(outside.file("macros.txt"), lib + "macros.txt");
         },
         lib + "macros.txt is a symbolic link, which is never followed, not a regular file."},
        {"a text that is a FIFO",
         [&] {
             std::filesystem::remove(lib + "macros/A.txt");
             ASSERT_EQ(::mkfifo((lib + "macros/A.txt").c_str(), 0600), 0);
         },
         lib + "macros/A.txt is a FIFO (named pipe), not a regular file."},
        {"a text that is a folder",
         [&] {
             std::filesystem::remove(lib + "macros/A.txt");
             std::filesystem::create_directory(lib + "macros/A.txt");
         },
         lib + "macros/A.txt is a folder, not a regular file."},
        {"a sparse text of 3 GB, refused before it is read",
         [&] {
             writeBytes(lib + "macros/A.txt", "");
             std::filesystem::resize_file(lib + "macros/A.txt", 3000000000u);
         },
         "The text file of macro \"A\" has 3000000000 bytes; a macro holds at most 16332 "
         "characters. It was not read."},
        {"a name with an escape byte",
         [&] { writeBytes(lib + "macros.txt", "\"A\\x1B[2J\" A.txt\n"); },
         "The macro name \"A\\x1B[2J\" in macros.txt holds a control character; a name is "
         "printable text."},
        {"a combination name with a line break",
         [&] {
             writeBytes(lib + "combinations.txt", "combination \"C\\x0A\"" + combos.substr(15));
         },
         "The combination name \"C\\x0A\" in combinations.txt holds a control character; a name "
         "is printable text."},
        {"one combination name twice (trailing blanks do not count)",
         [&] {
             writeBytes(lib + "combinations.txt",
                        combos + "combination \"C  \"" + combos.substr(15));
         },
         "The combination \"C\" is given twice in combinations.txt."},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(lib);
        std::filesystem::create_directories(lib + "macros");
        writeBytes(lib + "macros.txt", index);
        writeBytes(lib + "combinations.txt", combos);
        writeBytes(lib + "macros/A.txt", "MACRO 1");
        c.spoil();
        const library::ExchangeResult result = library::importLibrary(target.path(), lib);
        EXPECT_EQ(result.outcome, EditOutcome::Refused) << c.what;
        EXPECT_EQ(result.problem, c.problem + " Nothing was imported.") << c.what;
        EXPECT_EQ(store::macroCount(target.path()), 0) << c.what;
    }
    EXPECT_EQ(readBytes(outside.file("A.txt")), "SECRET");
}

TEST_F(LibraryExchange, anExportOfADatabaseThatCannotBeReadOrIsHalfWrittenFailsAndWritesNothing) {
    brindle::testing::addMacro(source.path(), "A", "MACRO 1");
    const struct {
        const char* what;
        std::function<void()> spoil;
        std::string problem;
    } cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(source.file("ComboDb.Dat").c_str(), 0600), 0); },
         source.file("ComboDb.Dat") + " is a FIFO (named pipe), not a regular file."},
        {"32,768 records (sparse)",
         [&] {
             writeBytes(source.file("ComboDb.Dat"), "");
             std::filesystem::resize_file(source.file("ComboDb.Dat"), 32768u * 1140u);
         },
         source.file("ComboDb.Dat") +
             " holds 32768 records; the library allows at most 32767. It was not read."},
        {"a record write that a crash interrupted",
         [&] {
             store::ComboRecord record;
             record.Name = "HALF-WRITTEN    ";
             writeBytes(source.file("Library.Jnl"),
                        brindle::testing::sealedJournal(
                            brindle::testing::recordJournalBody('C', 1, record.encode())));
         },
         "A write to the library was interrupted and waits to be finished by the next command "
         "that changes it."},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(source.file("ComboDb.Dat"));
        c.spoil();
        const library::ExchangeResult result = library::exportLibrary(source.path(), out.file("x"));
        EXPECT_EQ(result.outcome, EditOutcome::Failed) << c.what;
        EXPECT_EQ(result.failure.message(), c.problem + " Nothing was exported.") << c.what;
        EXPECT_FALSE(std::filesystem::exists(out.file("x"))) << c.what;
    }
}
