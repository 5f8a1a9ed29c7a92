// The library commands of brindle-cli, run as a script runs them: output
// bytes, messages, exit status and what is left in the data folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "store/databases.h"
#include "tests/support/cli_runner.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::CliRun;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

class LibraryCli : public ::testing::Test {
  protected:
    CliRun run(const std::string& command, const std::string& args, const std::string& input = "") {
        return cli.run(command + " --data '" + dir.path() + "' " + args, input);
    }
    std::string showCombo(const std::string& name) {
        return run("show-combo", "'" + name + "'").out;
    }
    std::string macros() const { return readBytes(dir.file("MacroDb.Dat")); }
    std::string combos() const { return readBytes(dir.file("ComboDb.Dat")); }

    brindle::testing::CliRunner cli{BRINDLE_CLI_PATH};
    TempDir dir;
};

const char* const kShowC =
    "Name:             C               \n"
    "Record:           1\n"
    "Version:                          \n"
    "Description:      \n"
    "Node Address:     65\n";

}  // namespace

TEST_F(LibraryCli, addMacroStoresTheTextWarnsOfAMissingMacroStatementAndRefusesABlankName) {
    CliRun plain = run("add-macro", "HOME", "1 MA 0\r\nMACRO 2");
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    CliRun warned = run("add-macro", "NOSTMT", "1 MA 0");
    EXPECT_EQ(warned.status, 0);
    EXPECT_EQ(warned.err,
              "brindle-cli add-macro: Warning, 'MACRO ###' Statement missing at end of macro "
              "(where ### may range from 0 to 255. Example, 'MACRO 2')\n");
    const std::string before = macros();
    for (const char* blank : {"''", "'   '"}) {
        CliRun r = run("add-macro", blank, "MACRO 1");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err,
                  "brindle-cli add-macro: A macro needs a name that is not blank. The macro was "
                  "not saved.\n");
    }
    EXPECT_EQ(macros(), before);
    // Adding again replaces: the command is the answer to the question.
    EXPECT_EQ(run("add-macro", "HOME", "MACRO 5").status, 0);
    EXPECT_EQ(macros().size(), 2 * 16360u);
    EXPECT_EQ(run("show-macro", "HOME").out, "MACRO 5");
}

TEST_F(LibraryCli, aDatabaseThatCannotBeWrittenGivesStatusOne) {
    std::filesystem::create_directory(dir.file("ComboDb.Dat"));
    ASSERT_EQ(run("add-macro", "HOME", "MACRO 1").status, 0);
    CliRun combo = run("add-combo", "C HOME");
    EXPECT_EQ(combo.status, 1);
    EXPECT_NE(combo.err.find("ComboDb.Dat"), std::string::npos);
    std::filesystem::remove(dir.file("MacroDb.Dat"));
    std::filesystem::create_directory(dir.file("MacroDb.Dat"));
    CliRun macro = run("add-macro", "OTHER", "MACRO 1");
    EXPECT_EQ(macro.status, 1);
    EXPECT_NE(macro.err.find("MacroDb.Dat"), std::string::npos);
}

TEST_F(LibraryCli, showMacroWritesTheTrimmedStoredBytes) {
    brindle::testing::addMacro(dir.path(), "RAW", std::string("  \x01\xe9\r\nMACRO 1  ", 15));
    CliRun r = run("show-macro", "RAW");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("\x01\xe9\r\nMACRO 1", 11));
    for (const char* missing : {"raw", "' RAW'", "NONE", "''"}) {
        CliRun m = run("show-macro", missing);
        EXPECT_EQ(m.status, 2) << missing;
        EXPECT_EQ(m.out, "");
    }
    EXPECT_EQ(run("show-macro", "NONE").err, "brindle-cli show-macro: no macro named \"NONE\"\n");
}

TEST_F(LibraryCli, deleteMacroAndDeleteComboActLikeTheButtonsAfterYes) {
    brindle::testing::addMacro(dir.path(), "A", "MACRO 1");
    brindle::testing::addMacro(dir.path(), "B", "MACRO 2");
    brindle::testing::addCombo(dir.path(), "  KEEP", {{0, 2}});
    brindle::testing::addCombo(dir.path(), "C", {{0, 1}, {1, 2}});
    EXPECT_EQ(run("delete-macro", "A").status, 0);
    EXPECT_EQ(macros().size(), 2 * 16360u);
    EXPECT_EQ(run("macros", "").out, "B           \n");
    CliRun again = run("delete-macro", "A");
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(again.err, "brindle-cli delete-macro: no macro named \"A\"\n");

    EXPECT_EQ(run("delete-combo", "C").status, 0);
    EXPECT_EQ(run("combos", "").out, "  KEEP          \n");
    CliRun gone = run("delete-combo", "C");
    EXPECT_EQ(gone.status, 2);
    EXPECT_EQ(gone.err, "brindle-cli delete-combo: no combination named \"C\"\n");
}

TEST_F(LibraryCli, addComboFindsNamesLooselyAndRefusesUnknownOnesOrWideNumbers) {
    brindle::testing::addMacro(dir.path(), "HOME", "MACRO 1");
    brindle::testing::addMacro(dir.path(), "Pick", "MACRO 2");
    CliRun ok = run("add-combo", "--boot 2 C home - ' PICK '");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(showCombo("C"), std::string(kShowC) +
                                  "Starting Macro #: 2\n"
                                  "Sequence:\n"
                                  "  1  HOME        \n"
                                  "  3  Pick        \n");
    const std::string before = combos();
    CliRun unknown = run("add-combo", "D HOME NOPE - ALSO");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err,
              "brindle-cli add-combo: no macro has these names; nothing was written:\n"
              "  NOPE\n"
              "  ALSO\n");
    for (const char* args : {"--node 32768 D HOME", "--boot -32769 D HOME", "'  ' HOME"}) {
        EXPECT_EQ(run("add-combo", args).status, 2) << args;
    }
    EXPECT_EQ(combos(), before);
}

TEST_F(LibraryCli, insertAndUnlinkWorkOnTheLinesAsShowComboListsThem) {
    for (const char* name : {"A", "B", "NEW"}) {
        brindle::testing::addMacro(dir.path(), name, "MACRO 1");
    }
    brindle::testing::addCombo(dir.path(), "C", {{0, 1}, {2, 2}}, 65, 3);
    EXPECT_EQ(run("insert", "C NEW --after 1").status, 0);
    EXPECT_EQ(run("insert", "C A").status, 0);
    EXPECT_EQ(showCombo("C"), std::string(kShowC) +
                                  "Starting Macro #: 4\n"
                                  "Sequence:\n"
                                  "  1  A           \n"
                                  "  2  NEW         \n"
                                  "* 4  B           \n"
                                  "  5  A           \n");
    EXPECT_EQ(run("unlink", "C 3").status, 0);  // the boot line
    EXPECT_EQ(showCombo("C"), std::string(kShowC) +
                                  "Starting Macro #: 0\n"
                                  "Sequence:\n"
                                  "  1  A           \n"
                                  "  2  NEW         \n"
                                  "  4  A           \n");
}

TEST_F(LibraryCli, insertAndUnlinkRefuseWhatTheyCannotDoAndWriteNothing) {
    brindle::testing::addMacro(dir.path(), "A", "MACRO 1");
    std::vector<std::pair<int, int32_t>> slots;
    for (int s = 0; s < 256; ++s) {
        slots.push_back({s, 1});
    }
    brindle::testing::addCombo(dir.path(), "FULL", slots);
    brindle::testing::addCombo(dir.path(), "C", {{0, 1}});
    const std::string before = combos();
    const std::pair<const char*, const char*> cases[] = {
        {"insert FULL A",
         "brindle-cli insert: There is no room in this combination's sequence: "
         "position 256, the last one, is taken. Remove a macro link first; "
         "nothing was inserted.\n"},
        {"insert NONE A", "brindle-cli insert: no combination named \"NONE\"\n"},
        {"insert C NONE", "brindle-cli insert: no macro named \"NONE\"\n"},
        {"insert C A --after 2",
         "brindle-cli insert: --after 2 is not a line: its sequence has lines 1 to 1\n"
         "Try 'brindle-cli insert --help'.\n"},
        {"unlink C 0",
         "brindle-cli unlink: 0 is not a line: its sequence has lines 1 to 1\n"
         "Try 'brindle-cli unlink --help'.\n"},
        {"unlink NONE 1", "brindle-cli unlink: no combination named \"NONE\"\n"},
    };
    for (const auto& [args, message] : cases) {
        const std::string words(args);
        const std::size_t blank = words.find(' ');
        CliRun r = run(words.substr(0, blank), words.substr(blank + 1));
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err, message);
    }
    EXPECT_EQ(combos(), before);
}

TEST_F(LibraryCli, exportAndImportCarryALibraryWithASlashInAName) {
    brindle::testing::addMacro(dir.path(), "IN/OUT", "1 MA 0\r\nMACRO 1");
    brindle::testing::addMacro(dir.path(), "OLD", "MACRO 2");
    brindle::testing::addCombo(dir.path(), "C", {{1, 1}, {3, 2}}, 65, 2);
    ASSERT_EQ(run("delete-macro", "OLD").status, 0);
    TempDir out;
    CliRun exported = run("export", "'" + out.path() + "lib'");
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "1 macros and 1 combinations\n");
    EXPECT_EQ(readBytes(out.path() + "lib/macros/IN%2FOUT.txt"), "1 MA 0\r\nMACRO 1");
    EXPECT_EQ(readBytes(out.path() + "lib/combinations.txt"),
              "# Brindle combinations, in record order: fields, then the sequence as position "
              "and\n"
              "# macro name (\"deleted\" for a slot whose macro was deleted).\n"
              "\n"
              "combination \"C\"\n"
              "version \"\"\n"
              "description \"\"\n"
              "node 65\n"
              "boot 2\n"
              "2 \"IN/OUT\"\n"
              "4 deleted\n"
              "end\n");

    TempDir fresh;
    CliRun imported = cli.run("import --data '" + fresh.path() + "' '" + out.path() + "lib'");
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(cli.run("show-combo --data '" + fresh.path() + "' C").out, showCombo("C"));
    EXPECT_EQ(cli.run("show-macro --data '" + fresh.path() + "' IN/OUT").out, "1 MA 0\r\nMACRO 1");

    CliRun twice = cli.run("import --data '" + fresh.path() + "' '" + out.path() + "lib'");
    EXPECT_EQ(twice.status, 2);
    CliRun notExport = run("export", "'" + dir.path() + "'");
    EXPECT_EQ(notExport.status, 2);
}
