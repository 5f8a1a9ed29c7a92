// The fault-injection test. brindle-cli (or, for the files no command
// writes, brindle-file-writer) is killed with SIGKILL at a chosen crash point
// of a build made with BRINDLE_FAULT_POINTS: before each creation, write,
// rename, cut or removal of a file, and in the middle of each write. Every
// trial starts from a seeded random library; the same operation run to its
// end on a copy gives the files a finished run leaves. After the kill a
// listing changes nothing, and after the next writer has taken the library
// (which finishes an interrupted write), the files must be exactly those before the operation or
// exactly those after it, for both databases together: every record written
// before is intact, each file is whole records, and a deletion or a rebuild
// happened whole or not at all.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/text.h"
#include "library/library_exchange.h"
#include "store/library_lock.h"
#include "store/records.h"
#include "tests/durability/random_library.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::ChildOptions;
using brindle::testing::ChildResult;
using brindle::testing::RandomLibrary;
using brindle::testing::readBytes;
using brindle::testing::runChild;
using brindle::testing::TempDir;

namespace {

constexpr int kStates = 20;        // seeded libraries per operation
constexpr int kKillsPerState = 5;  // 100 trials per operation
// Stands for the trial's folder (with its '/') at the start of a word.
const char* const kDataFolder = "@DATA@";

// One run of the operation: its words (kDataFolder where the folder goes),
// its standard input, the files it may change, which must be as before or as
// after all together, and a work file it may change, which must be as before
// or as after on its own.
struct Invocation {
    std::string program = BRINDLE_CLI_PATH;
    std::vector<std::string> words;
    std::string input;
    std::vector<std::string> files = {"MacroDb.Dat", "ComboDb.Dat"};
    std::string workFile;
};

// Fills a fresh data folder with a library and says what to run on it.
using Prepare = std::function<Invocation(std::mt19937&, const std::string& dataDir,
                                         const std::string& scratch)>;

struct Snapshot {
    std::map<std::string, std::optional<std::string>> files;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const std::string& dir, const std::vector<std::string>& files) {
    Snapshot s;
    for (const std::string& f : files) {
        if (f.empty()) {
            continue;
        }
        std::error_code error;
        // A database that is missing and one that is empty hold the same
        // library (every operation creates a missing one empty).
        s.files[f] =
            std::filesystem::exists(dir + f, error) || f.find("Db.Dat") != std::string::npos
                ? std::optional<std::string>(readBytes(dir + f))
                : std::nullopt;
    }
    return s;
}

void copyFiles(const std::string& from, const std::string& to,
               const std::vector<std::string>& files) {
    for (const std::string& f : files) {
        std::error_code error;
        std::filesystem::copy_file(from + f, to + f, error);
    }
}

std::vector<std::string> words(const Invocation& inv, const std::string& dataDir) {
    std::vector<std::string> argv = {inv.program};
    const std::string placeholder = kDataFolder;
    for (const std::string& w : inv.words) {
        argv.push_back(w.rfind(placeholder, 0) == 0 ? dataDir + w.substr(placeholder.size()) : w);
    }
    return argv;
}

// The records of `before` that are no longer in `after` at the same place,
// when `after` is neither state the operation may leave.
int recordsLost(const std::string& before, const std::string& after, std::size_t length) {
    int lost = 0;
    for (std::size_t at = 0; at + length <= before.size(); at += length) {
        if (after.size() < at + length || after.compare(at, length, before, at, length) != 0) {
            ++lost;
        }
    }
    return lost;
}

// Whether the data folder holds the journal of a write still to be
// finished. (A temporary file of a replace cut short may stay until the next
// write, and files staged before the journal that would have used them was
// written stay as leftovers: neither is part of the library.)
std::vector<std::string> unfinished(const std::string& dir) {
    std::vector<std::string> found;
    for (const char* name : {"Library.Jnl"}) {
        if (std::filesystem::exists(dir + name)) {
            found.push_back(name);
        }
    }
    return found;
}

struct Tally {
    int trials = 0;
    int before = 0;  // the files as before the operation
    int after = 0;   // the files as a finished run leaves them
    int lost = 0;
};

// Runs the trials of one operation; `recover` is true when a program that
// next looks at the library must first finish the write (the databases).
Tally runTrials(const std::string& name, const Prepare& prepare, bool recover,
                int states = kStates) {
    Tally tally;
    std::seed_seq seed(name.begin(), name.end());
    std::mt19937 rng(seed);
    for (int state = 0; state < states; ++state) {
        TempDir pre;
        TempDir scratch;
        const Invocation inv = prepare(rng, pre.path(), scratch.path());
        const Snapshot before = snapshot(pre.path(), inv.files);
        const Snapshot workBefore = snapshot(pre.path(), {inv.workFile});

        TempDir ref;
        copyFiles(pre.path(), ref.path(), inv.files);
        ChildOptions counting;
        counting.input = inv.input;
        counting.env = {"BRINDLE_FAULT_COUNT_FILE=" + scratch.file("count")};
        const ChildResult finished = runChild(words(inv, ref.path()), counting);
        EXPECT_EQ(finished.status, 0) << name << ": " << finished.err;
        const Snapshot after = snapshot(ref.path(), inv.files);
        const Snapshot workAfter = snapshot(ref.path(), {inv.workFile});
        const int points = std::atoi(readBytes(scratch.file("count")).c_str());
        EXPECT_GT(points, 0) << name;
        if (points <= 0 || finished.status != 0) {
            continue;
        }
        for (int k = 0; k < kKillsPerState; ++k) {
            const int point = 1 + (state * kKillsPerState + k) % points;
            TempDir trial;
            copyFiles(pre.path(), trial.path(), inv.files);
            ChildOptions killing;
            killing.input = inv.input;
            // A write cut short keeps a different part of it from trial to trial.
            killing.env = {"BRINDLE_FAULT_AT=" + std::to_string(point),
                           "BRINDLE_FAULT_PART=" + std::to_string(1 + (state + k) % 7)};
            const ChildResult killed = runChild(words(inv, trial.path()), killing);
            EXPECT_EQ(killed.signal, SIGKILL) << name << " point " << point << ": " << killed.err;
            if (recover) {
                // A listing reads what it finds and renames or writes nothing.
                const Snapshot killedState = snapshot(trial.path(), inv.files);
                const std::vector<std::string> leftKilled = unfinished(trial.path());
                const ChildResult listed =
                    runChild({BRINDLE_CLI_PATH, "macros", "--data", trial.path()});
                EXPECT_EQ(listed.status, 0) << listed.err;
                EXPECT_TRUE(snapshot(trial.path(), inv.files) == killedState)
                    << name << " point " << point << ": a listing changed the library";
                EXPECT_EQ(unfinished(trial.path()), leftKilled);
                // The next writer finishes the write.
                const auto lock = store::LibraryLock::acquire(trial.path());
                EXPECT_TRUE(lock.ok()) << lock.message();
                EXPECT_EQ(unfinished(trial.path()), std::vector<std::string>{})
                    << name << " point " << point;
            }
            const Snapshot left = snapshot(trial.path(), inv.files);
            if (!inv.workFile.empty()) {
                const Snapshot work = snapshot(trial.path(), {inv.workFile});
                EXPECT_TRUE(work == workBefore || work == workAfter)
                    << name << " point " << point << ": " << inv.workFile << " is not whole";
            }
            ++tally.trials;
            if (left == before) {
                ++tally.before;
            } else if (left == after) {
                ++tally.after;
            } else {
                for (const auto& [file, bytes] : before.files) {
                    const std::size_t length = file == "MacroDb.Dat"   ? store::kMacroRecordLength
                                               : file == "ComboDb.Dat" ? store::kComboRecordLength
                                                                       : 1;
                    tally.lost +=
                        recordsLost(bytes.value_or(""), left.files.at(file).value_or(""), length);
                }
                ADD_FAILURE() << name << " point " << point
                              << ": the files are neither as before nor as after";
            }
        }
    }
    std::cout << "[ kill     ] " << name << ": " << tally.trials << " trials, " << tally.before
              << " left as before, " << tally.after << " as after, records lost " << tally.lost
              << "\n";
    return tally;
}

std::string pick(std::mt19937& rng, const std::vector<std::string>& names) {
    return names.at(std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(rng));
}

int upTo(std::mt19937& rng, int high) {
    return std::uniform_int_distribution<int>(1, high)(rng);
}

Invocation cli(std::vector<std::string> rest) {
    Invocation inv;
    inv.words = std::move(rest);
    return inv;
}

// A library whose combination i has at least one listed line, for the
// sequence commands.
RandomLibrary libraryWithLines(std::mt19937& rng, std::size_t& combo) {
    for (;;) {
        RandomLibrary library = brindle::testing::randomLibrary(rng);
        combo = std::uniform_int_distribution<std::size_t>(0, library.combos.size() - 1)(rng);
        if (library.listedLines(combo) > 0) {
            return library;
        }
    }
}

const std::map<std::string, Prepare>& operations() {
    static const std::map<std::string, Prepare> ops = {
        {"add-macro",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             RandomLibrary library = brindle::testing::randomLibrary(rng);
             library.write(dir);
             const auto names = library.macroNames();
             // Half replace a macro in place, half append a new one.
             const std::string name =
                 upTo(rng, 2) == 1 ? pick(rng, names) : brindle::testing::freshName(rng, 12, names);
             Invocation inv = cli({"add-macro", "--data", kDataFolder, "--", name});
             inv.input = brindle::testing::randomText(rng);
             return inv;
         }},
        {"add-combo",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             RandomLibrary library = brindle::testing::randomLibrary(rng);
             library.write(dir);
             const auto names = library.comboNames();
             const std::string name =
                 upTo(rng, 2) == 1 ? pick(rng, names) : brindle::testing::freshName(rng, 16, names);
             std::vector<std::string> w = {"add-combo",
                                           "--data",
                                           kDataFolder,
                                           "--node",
                                           std::to_string(upTo(rng, 255)),
                                           "--boot",
                                           std::to_string(upTo(rng, 5)),
                                           "--",
                                           name};
             for (int i = upTo(rng, 12); i > 0; --i) {
                 w.push_back(upTo(rng, 4) == 1 ? "-" : pick(rng, library.macroNames()));
             }
             return cli(w);
         }},
        {"delete-macro",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             RandomLibrary library = brindle::testing::randomLibrary(rng);
             library.write(dir);
             return cli(
                 {"delete-macro", "--data", kDataFolder, "--", pick(rng, library.macroNames())});
         }},
        {"delete-combo",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             RandomLibrary library = brindle::testing::randomLibrary(rng);
             library.write(dir);
             Invocation inv = cli(
                 {"delete-combo", "--data", kDataFolder, "--", pick(rng, library.comboNames())});
             inv.workFile = "ComboDb.tmp";
             return inv;
         }},
        {"insert",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             std::size_t combo = 0;
             RandomLibrary library = libraryWithLines(rng, combo);
             library.write(dir);
             return cli({"insert", "--data", kDataFolder, "--after",
                         std::to_string(upTo(rng, library.listedLines(combo))), "--",
                         library.comboNames()[combo], pick(rng, library.macroNames())});
         }},
        {"unlink",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             std::size_t combo = 0;
             RandomLibrary library = libraryWithLines(rng, combo);
             library.write(dir);
             return cli({"unlink", "--data", kDataFolder, "--", library.comboNames()[combo],
                         std::to_string(upTo(rng, library.listedLines(combo)))});
         }},
        {"import",
         [](std::mt19937& rng, const std::string&, const std::string& scratch) {
             // An export of a random library; the data folder starts empty.
             TempDir source;
             brindle::testing::randomLibrary(rng).write(source.path());
             const auto exported = library::exportLibrary(source.path(), scratch + "export");
             EXPECT_EQ(exported.outcome, library::EditOutcome::Done) << exported.problem;
             return cli({"import", "--data", kDataFolder, scratch + "export"});
         }},
    };
    return ops;
}

// The writers of "ZrtCfg.Dat" and of the help document, run by
// brindle-file-writer.
Invocation writer(std::vector<std::string> rest, const std::string& file) {
    Invocation inv;
    inv.program = BRINDLE_FILE_WRITER_PATH;
    inv.words = std::move(rest);
    inv.files = {file};
    return inv;
}

std::string randomBytes(std::mt19937& rng, int low, int high) {
    std::string bytes(static_cast<std::size_t>(std::uniform_int_distribution<int>(low, high)(rng)),
                      '\0');
    for (char& c : bytes) {
        c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
    }
    return bytes;
}

const std::map<std::string, Prepare>& configWriters() {
    static const std::map<std::string, Prepare> ops = {
        {"config-startup",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             // Missing, or shorter than a record: start-up writes the defaults.
             if (upTo(rng, 2) == 1) {
                 brindle::testing::writeBytes(dir + "ZrtCfg.Dat", randomBytes(rng, 1, 42));
             }
             return writer({"config-startup", kDataFolder}, "ZrtCfg.Dat");
         }},
        {"config-delay",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             brindle::testing::writeBytes(dir + "ZrtCfg.Dat", randomBytes(rng, 43, 60));
             return writer({"config-delay", kDataFolder, std::to_string(upTo(rng, 500))},
                           "ZrtCfg.Dat");
         }},
        {"config-port",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             brindle::testing::writeBytes(dir + "ZrtCfg.Dat", randomBytes(rng, 43, 60));
             return writer({"config-port", kDataFolder, std::to_string(upTo(rng, 4))},
                           "ZrtCfg.Dat");
         }},
        {"config-baud",
         [](std::mt19937& rng, const std::string& dir, const std::string&) {
             brindle::testing::writeBytes(dir + "ZrtCfg.Dat", randomBytes(rng, 43, 60));
             return writer({"config-baud", kDataFolder, pick(rng, {"1200", "9600", "57600"})},
                           "ZrtCfg.Dat");
         }},
    };
    return ops;
}

class KillTest : public ::testing::TestWithParam<std::string> {};

TEST_P(KillTest, aKillAtAnyPointLeavesTheLibraryAsBeforeOrAsAfter) {
    const Tally tally = runTrials(GetParam(), operations().at(GetParam()), true);
    EXPECT_EQ(tally.trials, kStates * kKillsPerState);
    EXPECT_EQ(tally.lost, 0);
    // Both outcomes occur: the points reach from before the first change to
    // after the last one.
    EXPECT_GT(tally.before, 0);
    EXPECT_GT(tally.after, 0);
}

TEST(KillWriters, aKillNeverLeavesTheConfigurationRecordShortOrEmpty) {
    int trials = 0;
    for (const auto& [name, prepare] : configWriters()) {
        const Tally tally = runTrials(name, prepare, false, 5);
        trials += tally.trials;
        EXPECT_EQ(tally.lost, 0);
        EXPECT_GT(tally.after, 0) << name;
    }
    EXPECT_EQ(trials, 100);
}

TEST(KillWriters, aKillNeverLeavesTheHelpDocumentShortOrEmpty) {
    const Tally tally = runTrials(
        "help",
        [](std::mt19937& rng, const std::string& dir, const std::string&) {
            brindle::testing::writeBytes(dir + "helpmacro.rtf",
                                         "{\\rtf1 " + randomBytes(rng, 1, 3000) + "}");
            return writer({"help", std::string(kDataFolder) + "helpmacro.rtf",
                           brindle::testing::randomText(rng)},
                          "helpmacro.rtf");
        },
        false);
    EXPECT_EQ(tally.trials, 100);
    EXPECT_EQ(tally.lost, 0);
    EXPECT_GT(tally.before, 0);
    EXPECT_GT(tally.after, 0);
}

INSTANTIATE_TEST_SUITE_P(Operations, KillTest,
                         ::testing::Values("add-macro", "add-combo", "delete-macro", "delete-combo",
                                           "insert", "unlink", "import"),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

}  // namespace
