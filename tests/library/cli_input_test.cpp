// brindle-cli refusing bad input clearly: data folders that cannot serve,
// names longer than their field or holding control characters, numbers out of
// range; --help for every command; listings that a stored name cannot turn
// into terminal commands or extra lines; names that cannot reach outside the
// folders the program writes.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "store/databases.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::ChildOptions;
using brindle::testing::ChildResult;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

const std::vector<std::string> kCommands = {
    "normalise",  "compile",      "macros",       "combos", "show-combo", "add-macro", "add-combo",
    "show-macro", "delete-macro", "delete-combo", "insert", "unlink",     "export",    "import",
    "download",   "read",         "exec",         "cancel", "clear"};

ChildResult cli(const std::vector<std::string>& words, const std::string& input = "",
                std::vector<std::string> env = {}) {
    std::vector<std::string> argv = {BRINDLE_CLI_PATH};
    argv.insert(argv.end(), words.begin(), words.end());
    ChildOptions options;
    options.input = input;
    options.env = std::move(env);
    return brindle::testing::runChild(argv, options);
}

// brindle-cli with its standard output on a pseudo-terminal, as a user at a
// terminal runs it; returns what the terminal received.
std::string onTerminal(const std::vector<std::string>& words, const std::string& lang) {
    int master = -1;
    int slave = -1;
    termios raw{};
    cfmakeraw(&raw);  // no CR added before each LF
    if (::openpty(&master, &slave, nullptr, &raw, nullptr) != 0) {
        ADD_FAILURE() << "openpty failed";
        return {};
    }
    std::vector<std::string> argv = {BRINDLE_CLI_PATH};
    argv.insert(argv.end(), words.begin(), words.end());
    std::vector<char*> args;
    for (std::string& a : argv) {
        args.push_back(a.data());
    }
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(slave, 1);
        ::close(master);
        ::setenv("LANG", lang.c_str(), 1);
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_CTYPE");
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(slave);
    std::string out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            break;  // EIO once the child has closed the terminal
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(master);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

class CliInput : public ::testing::Test {
  protected:
    std::string macros() const { return readBytes(dir.file("MacroDb.Dat")); }
    std::string combos() const { return readBytes(dir.file("ComboDb.Dat")); }
    TempDir dir;
};

}  // namespace

TEST_F(CliInput, everyCommandRefusesADataFolderThatIsMissingOrAFileWithTheReason) {
    writeBytes(dir.file("plain"), "not a folder");
    const struct {
        std::string folder;
        std::string reason;
    } cases[] = {
        {dir.file("missing"), "does not exist"},
        {dir.file("missing/deeper"), "does not exist"},
        {dir.file("plain"), "is not a folder"},
        {dir.file("plain/below"), "does not exist"},
    };
    for (const std::string& command : kCommands) {
        for (const auto& c : cases) {
            const ChildResult r = cli({command, "--data", c.folder, "X", "Y"});
            EXPECT_EQ(r.status, 2) << command << " " << c.folder;
            EXPECT_EQ(r.out, "") << command;
            EXPECT_EQ(r.err.rfind("brindle-cli " + command + ": the data folder " + c.folder + " " +
                                      c.reason + "\n",
                                  0),
                      0u)
                << r.err;
        }
    }
    // Nothing was created on the way.
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
    EXPECT_EQ(readBytes(dir.file("plain")), "not a folder");
}

TEST_F(CliInput, everyCommandAnswersHelpEvenWithABadDataFolder) {
    for (const std::string& command : kCommands) {
        const ChildResult r = cli({command, "--help", "--data", dir.file("missing")});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind("Usage: brindle-cli " + command + " ", 0), 0u) << r.out;
        EXPECT_EQ(r.err, "") << command;
    }
}

TEST_F(CliInput, aNameLongerThanItsFieldIsRefusedWithTheLimitAndNothingIsWritten) {
    ASSERT_EQ(cli({"add-macro", "--data", dir.path(), "ABCDEFGHIJKL"}, "MACRO 1").status, 0);
    ASSERT_EQ(cli({"add-combo", "--data", dir.path(), "COMBINATION-0016", "ABCDEFGHIJKL"}).status,
              0);
    const std::string macrosBefore = macros();
    const std::string combosBefore = combos();
    const std::string longMacro = "ABCDEFGHIJKLX";      // its first 12 are a stored name
    const std::string longCombo = "COMBINATION-0016X";  // the same for a combination
    const std::string macroLimit = "has 13 characters; a macro name holds at most 12\n";
    const std::string comboLimit = "has 17 characters; a combination name holds at most 16\n";
    const struct {
        std::vector<std::string> words;
        std::string message;
    } cases[] = {
        {{"add-macro", longMacro}, "the macro name \"" + longMacro + "\" " + macroLimit},
        {{"show-macro", longMacro}, "the macro name \"" + longMacro + "\" " + macroLimit},
        {{"delete-macro", longMacro}, "the macro name \"" + longMacro + "\" " + macroLimit},
        {{"add-combo", longCombo, "ABCDEFGHIJKL"},
         "the combination name \"" + longCombo + "\" " + comboLimit},
        {{"add-combo", "NEW", longMacro}, "the macro name \"" + longMacro + "\" " + macroLimit},
        {{"add-combo", "--version", "12345678901234567", "NEW"},
         "the version \"12345678901234567\" has 17 characters; a version holds at most 16\n"},
        {{"add-combo", "--description", std::string(81, 'd'), "NEW"},
         "the description \"" + std::string(81, 'd') +
             "\" has 81 characters; a description holds at most 80\n"},
        {{"show-combo", longCombo}, "the combination name \"" + longCombo + "\" " + comboLimit},
        {{"delete-combo", longCombo}, "the combination name \"" + longCombo + "\" " + comboLimit},
        {{"insert", longCombo, "ABCDEFGHIJKL"},
         "the combination name \"" + longCombo + "\" " + comboLimit},
        {{"insert", "COMBINATION-0016", longMacro},
         "the macro name \"" + longMacro + "\" " + macroLimit},
        {{"unlink", longCombo, "1"}, "the combination name \"" + longCombo + "\" " + comboLimit},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words = {c.words[0], "--data", dir.path()};
        words.insert(words.end(), c.words.begin() + 1, c.words.end());
        const ChildResult r = cli(words, "MACRO 2");
        EXPECT_EQ(r.status, 2) << c.words[0];
        EXPECT_EQ(r.err, "brindle-cli " + c.words[0] + ": " + c.message);
    }
    EXPECT_EQ(macros(), macrosBefore);
    EXPECT_EQ(combos(), combosBefore);
    // Trailing blanks never count.
    EXPECT_EQ(cli({"add-macro", "--data", dir.path(), "ABCDEFGHIJKL   "}, "MACRO 3").status, 0);
    EXPECT_EQ(cli({"show-macro", "--data", dir.path(), "ABCDEFGHIJKL"}).out, "MACRO 3");
}

TEST_F(CliInput, numbersOutsideTheirRangeAreRefusedWithTheRange) {
    brindle::testing::addMacro(dir.path(), "M", "MACRO 1");
    for (const std::string value :
         {"32768", "-32769", "99999999999999999999", "x", "1.5", " 5", "", "0x10"}) {
        for (const std::string option : {"--node", "--boot"}) {
            const ChildResult r = cli({"add-combo", "--data", dir.path(), option, value, "C", "M"});
            EXPECT_EQ(r.status, 2) << option << " " << value;
            EXPECT_EQ(r.err, "brindle-cli add-combo: " + option + " " + value +
                                 " is not a whole number from -32768 to 32767\n"
                                 "Try 'brindle-cli add-combo --help'.\n");
        }
    }
    EXPECT_EQ(combos(), "");
    // The ends of the range are taken, and stored as little-endian 16 bits.
    ASSERT_EQ(
        cli({"add-combo", "--data", dir.path(), "--node", "-32768", "--boot", "+32767", "C", "M"})
            .status,
        0);
    EXPECT_EQ(brindle::testing::toHex(combos().substr(32, 4)), "00 80 FF 7F");
    for (const std::string line : {"0", "2", "-1", "1x", "4294967297"}) {
        EXPECT_EQ(cli({"unlink", "--data", dir.path(), "--", "C", line}).err,
                  "brindle-cli unlink: " + line +
                      " is not a line: its sequence has lines 1 to 1\n"
                      "Try 'brindle-cli unlink --help'.\n");
        EXPECT_EQ(cli({"insert", "--data", dir.path(), "--after", line, "C", "M"}).status, 2);
    }
}

TEST_F(CliInput, aNewNameWithAControlCharacterIsRefusedAndShownEscaped) {
    const std::string title = "A\x1b]0;X\x07";
    const ChildResult macro = cli({"add-macro", "--data", dir.path(), title}, "MACRO 1");
    EXPECT_EQ(macro.status, 2);
    EXPECT_EQ(macro.err,
              "brindle-cli add-macro: the macro name \"A\\x1B]0;X\\x07\" holds a "
              "control character; a name is printable text\n");
    EXPECT_EQ(cli({"add-combo", "--data", dir.path(), "C\nD"}).status, 2);
    EXPECT_EQ(macros(), "");
    EXPECT_EQ(combos(), "");
    // A look-up may name anything; the message shows it escaped.
    EXPECT_EQ(cli({"show-macro", "--data", dir.path(), "\x1b[2J"}).err,
              "brindle-cli show-macro: no macro named \"\\x1B[2J\"\n");
}

TEST_F(CliInput, aDoubleDashLetsANameBeginWithADash) {
    EXPECT_EQ(cli({"add-macro", "--data", dir.path(), "-X"}, "MACRO 1").status, 2);
    EXPECT_EQ(cli({"add-macro", "--data", dir.path(), "--", "-X"}, "MACRO 1").status, 0);
    EXPECT_EQ(cli({"show-macro", "--data", dir.path(), "--", "-X"}).out, "MACRO 1");
}

TEST_F(CliInput, listingsKeepStoredBytesInAPipeButOneNamePerLineAndEscapeOnATerminal) {
    // Names that no program of ours stores, as a file from outside holds them.
    brindle::testing::addMacro(dir.path(), "\x1b]0;pwn\x07", "MACRO 1");
    brindle::testing::addMacro(dir.path(), "two\nlines", "MACRO 2");
    brindle::testing::addMacro(dir.path(), "caf\xe9\\", "MACRO 3");
    brindle::testing::addCombo(dir.path(), "C\r", {{0, 1}, {1, 2}});

    EXPECT_EQ(cli({"macros", "--data", dir.path()}).out,
              "\x1b]0;pwn\x07    \n"
              "two\\nlines   \n"
              "caf\xe9\\       \n");
    const std::string escaped =
        "\\x1B]0;pwn\\x07    \n"
        "two\\x0Alines   \n"
        "caf\\xE9\\\\       \n";
    EXPECT_EQ(cli({"macros", "--data", dir.path(), "--escape"}).out, escaped);
    EXPECT_EQ(onTerminal({"macros", "--data", dir.path()}, "C"), escaped);
    // A UTF-8 terminal shows the Latin-1 letter as itself.
    EXPECT_EQ(onTerminal({"macros", "--data", dir.path()}, "C.UTF-8"),
              "\\x1B]0;pwn\\x07    \n"
              "two\\x0Alines   \n"
              "caf\xc3\xa9\\\\       \n");
    EXPECT_EQ(cli({"combos", "--data", dir.path()}).out, "C\\r              \n");
    EXPECT_EQ(onTerminal({"combos", "--data", dir.path()}, "C"), "C\\x0D              \n");
    const std::string shown = onTerminal({"show-combo", "--data", dir.path(), "C\r"}, "C");
    EXPECT_NE(shown.find("Name:             C\\x0D              \n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("  1  \\x1B]0;pwn\\x07    \n  2  two\\x0Alines   \n"), std::string::npos)
        << shown;
}

TEST_F(CliInput, exportedNamesStayInsideTheExportAndALinkedTextFolderIsRefused) {
    for (const char* name : {"..", ".", "../../x", "/etc/passwd", ".hidden", "a\\b"}) {
        brindle::testing::addMacro(dir.path(), name, std::string("MACRO 1 ") + name);
    }
    TempDir out;
    const ChildResult exported = cli({"export", "--data", dir.path(), out.file("lib")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out.path())) {
        files.push_back(entry.path().string().substr(out.path().size()));
    }
    std::sort(files.begin(), files.end());
    // A slash is always escaped and a leading dot too, so no file name is a
    // path or a folder's "." or "..".
    EXPECT_EQ(files, (std::vector<std::string>{
                         "lib", "lib/combinations.txt", "lib/macros", "lib/macros.txt",
                         "lib/macros/%2E.%2F..%2Fx.txt", "lib/macros/%2E..txt",
                         "lib/macros/%2E.txt", "lib/macros/%2Ehidden.txt",
                         "lib/macros/%2Fetc%2Fpasswd.txt", "lib/macros/a%5Cb.txt"}));
    TempDir fresh;
    ASSERT_EQ(cli({"import", "--data", fresh.path(), out.file("lib")}).status, 0);
    EXPECT_EQ(readBytes(fresh.file("MacroDb.Dat")), macros());

    // A text folder that is a link would carry the texts elsewhere.
    TempDir elsewhere;
    std::filesystem::create_directory(out.file("linked"));
    std::filesystem::create_symlink(elsewhere.path(), out.file("linked/macros"));
    writeBytes(out.file("linked/macros.txt"), "# Brindle macro library export\n");
    const ChildResult linked = cli({"export", "--data", dir.path(), out.file("linked")});
    EXPECT_EQ(linked.status, 2);
    EXPECT_EQ(linked.err, "brindle-cli export: " + out.file("linked/macros") +
                              " is not a folder. Nothing was exported.\n");
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
}

TEST_F(CliInput, aDatabaseThatIsALinkAFifoAFolderOrADeviceIsRefusedByEveryReaderWithItsName) {
    TempDir outside;
    writeBytes(outside.file("target"), std::string(16360, ' '));
    struct Kind {
        const char* kind;
        std::function<void(const std::string&)> make;
    };
    std::vector<Kind> kinds = {
        {"a symbolic link, which is never followed",
         [&](const std::string& path) {
             std::filesystem::create_symlink(outside.file("target"), path);
         }},
        {"a FIFO (named pipe)", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }},
        {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
    };
    // A device node (only root may make one).
    auto makeDevice = [](const std::string& path) {
        return ::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    };
    if (makeDevice(outside.file("probe"))) {
        kinds.push_back({"a device", [&](const std::string& path) { makeDevice(path); }});
    }
    const struct {
        const char* file;
        std::vector<std::string> words;
    } readers[] = {
        {"MacroDb.Dat", {"macros"}},          {"MacroDb.Dat", {"show-macro", "A"}},
        {"ComboDb.Dat", {"combos"}},          {"ComboDb.Dat", {"show-combo", "C"}},
        {"MacroDb.Dat", {"show-combo", "C"}},
    };
    for (const auto& kind : kinds) {
        for (const auto& reader : readers) {
            TempDir data;
            brindle::testing::addMacro(data.path(), "A", "MACRO 1");
            brindle::testing::addCombo(data.path(), "C", {{0, 1}});
            std::filesystem::remove(data.file(reader.file));
            kind.make(data.file(reader.file));
            std::vector<std::string> words = reader.words;
            words.insert(words.begin() + 1, {"--data", data.path()});
            const ChildResult r = cli(words);
            const std::string what = kind.kind;
            EXPECT_EQ(r.status, 1) << words[0] << " " << what;
            EXPECT_EQ(r.out, "") << words[0] << " " << what;
            EXPECT_EQ(r.err, "brindle-cli " + words[0] + ": " + data.file(reader.file) + " is " +
                                 what + ", not a regular file.\n");
        }
    }
    EXPECT_EQ(readBytes(outside.file("target")), std::string(16360, ' '));
}

TEST_F(CliInput, exportOfAnUnreadableDatabaseAndAComboNameTooLongForDownloadOrExecFail) {
    brindle::testing::addMacro(dir.path(), "A", "MACRO 1");
    ASSERT_EQ(::mkfifo(dir.file("ComboDb.Dat").c_str(), 0600), 0);
    TempDir out;
    const ChildResult exported = cli({"export", "--data", dir.path(), out.file("lib")});
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.err, "brindle-cli export: " + dir.file("ComboDb.Dat") +
                                " is a FIFO (named pipe), not a regular file. Nothing was "
                                "exported.\n");
    EXPECT_FALSE(std::filesystem::exists(out.file("lib")));

    // Half a write never goes to the controller: the port is not even opened.
    std::filesystem::remove(dir.file("ComboDb.Dat"));
    brindle::testing::addCombo(dir.path(), "C", {{0, 1}});
    store::ComboRecord half;
    half.Name = "C";
    writeBytes(dir.file("Library.Jnl"),
               brindle::testing::sealedJournal(
                   brindle::testing::recordJournalBody('C', 1, half.encode())));
    const ChildResult waiting =
        cli({"download", "--data", dir.path(), "--port", dir.file("no-such-port"), "--combo", "C"});
    EXPECT_EQ(waiting.status, 1);
    EXPECT_EQ(waiting.err.rfind("brindle-cli download: a write to the library in " + dir.path() +
                                    " was interrupted and waits to be finished",
                                0),
              0u)
        << waiting.err;
    std::filesystem::remove(dir.file("Library.Jnl"));

    // Cut to 16 characters the name would stand for another combination.
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"download", "--combo", "SEVENTEEN-LETTER"},
          std::vector<std::string>{"exec", "--block", "1", "--combo", "SEVENTEEN-LETTER"}}) {
        std::vector<std::string> argv = words;
        argv.back() += "S";
        argv.insert(argv.end(), {"--data", dir.path(), "--port", dir.file("no-such-port")});
        const ChildResult r = cli(argv);
        EXPECT_EQ(r.status, 2) << words[0];
        EXPECT_EQ(r.err, "brindle-cli " + words[0] +
                             ": the combination name \"SEVENTEEN-LETTERS\" has 17 characters; a "
                             "combination name holds at most 16\n");
    }
}
