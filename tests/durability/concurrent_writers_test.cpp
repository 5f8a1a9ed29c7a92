// Writers that run at the same time: brindle-cli processes, and the editors
// called in this process as the window calls them. Each write operation holds
// the library lock from its look-up to its write, so none loses a record.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "library/macro_editor.h"
#include "state/main_state.h"
#include "store/databases.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::ChildProcess;
using brindle::testing::ChildResult;
using brindle::testing::TempDir;

namespace {

constexpr int kPerWriter = 100;

// A shell loop that runs one brindle-cli command per name PREFIX1..PREFIX100,
// followed by the words of `rest`. In the script $0 is the program, $1 the
// data folder, $2 the prefix and $3 `word`.
std::unique_ptr<ChildProcess> startLoop(const std::string& command, const std::string& dataDir,
                                        const std::string& prefix, const std::string& rest = "",
                                        const std::string& word = "") {
    const std::string script = "i=1; while [ $i -le " + std::to_string(kPerWriter) +
                               " ]; do \"$0\" " + command + " --data \"$1\" \"$2$i\" " + rest +
                               " || exit 1; i=$((i+1)); done";
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{"/bin/sh", "-c", script, BRINDLE_CLI_PATH, dataDir, prefix, word});
}

// How often each listed name appears among the records.
std::map<std::string, int> nameCounts(const std::vector<std::string>& fields) {
    std::map<std::string, int> counts;
    for (const std::string& field : fields) {
        ++counts[field];
    }
    return counts;
}

std::string macroName(const std::string& prefix, int i) {
    return base::fixedWidth(prefix + std::to_string(i), store::kMacroNameWidth);
}

}  // namespace

TEST(ConcurrentWriters, twoCliProcessesAddingAHundredMacrosEachLoseNone) {
    TempDir dir;
    brindle::testing::writeBytes(dir.file("text"), "1 MA 0\r\nMACRO 1");
    auto a = startLoop("add-macro", dir.path(), "A", "\"$3\"", dir.file("text"));
    auto b = startLoop("add-macro", dir.path(), "B", "\"$3\"", dir.file("text"));
    const ChildResult ra = a->wait();
    const ChildResult rb = b->wait();
    ASSERT_EQ(ra.status, 0) << ra.err;
    ASSERT_EQ(rb.status, 0) << rb.err;

    EXPECT_EQ(brindle::testing::readBytes(store::macroDbPath(dir.path())).size(),
              2u * kPerWriter * store::kMacroRecordLength);
    const auto counts = nameCounts(store::macroNameFields(dir.path()));
    EXPECT_EQ(counts.size(), 2u * kPerWriter);
    for (const char* prefix : {"A", "B"}) {
        for (int i = 1; i <= kPerWriter; ++i) {
            auto it = counts.find(macroName(prefix, i));
            EXPECT_TRUE(it != counts.end() && it->second == 1) << prefix << i;
        }
    }
    for (int32_t n = 1; n <= store::macroCount(dir.path()); ++n) {
        EXPECT_EQ(base::trimBlanks(store::readMacro(dir.path(), n)->Body), "1 MA 0\r\nMACRO 1");
    }
}

TEST(ConcurrentWriters, theEditorsInThisProcessAndACliProcessLoseNoMacro) {
    TempDir dir;
    brindle::testing::writeBytes(dir.file("text"), "MACRO 2");
    auto cli = startLoop("add-macro", dir.path(), "C", "\"$3\"", dir.file("text"));
    state::MainState state;
    state.DataDir = dir.path();
    brindle::testing::ScriptedPrompter prompter;
    for (int i = 1; i <= kPerWriter; ++i) {
        const auto edit = library::saveMacro(state, "W" + std::to_string(i), "MACRO 3", prompter);
        ASSERT_EQ(edit.outcome, library::EditOutcome::Done) << edit.failure.message();
    }
    const ChildResult r = cli->wait();
    ASSERT_EQ(r.status, 0) << r.err;
    const auto counts = nameCounts(store::macroNameFields(dir.path()));
    EXPECT_EQ(counts.size(), 2u * kPerWriter);
    for (const char* prefix : {"C", "W"}) {
        for (int i = 1; i <= kPerWriter; ++i) {
            auto it = counts.find(macroName(prefix, i));
            EXPECT_TRUE(it != counts.end() && it->second == 1) << prefix << i;
        }
    }
}

TEST(ConcurrentWriters, combinationsAddedWhileOthersAreDeletedAreAllKept) {
    TempDir dir;
    brindle::testing::addMacro(dir.path(), "M", "MACRO 1");
    for (int i = 1; i <= kPerWriter; ++i) {
        brindle::testing::addCombo(dir.path(), "D" + std::to_string(i), {{0, 1}});
    }
    // Every deletion rebuilds "ComboDb.Dat" and renames it in place; an append
    // made meanwhile must end up in the new file.
    auto adder = startLoop("add-combo", dir.path(), "N", "M");
    auto deleter = startLoop("delete-combo", dir.path(), "D");
    const ChildResult ra = adder->wait();
    const ChildResult rd = deleter->wait();
    ASSERT_EQ(ra.status, 0) << ra.err;
    ASSERT_EQ(rd.status, 0) << rd.err;

    std::vector<std::string> expected;
    for (int i = 1; i <= kPerWriter; ++i) {
        expected.push_back(base::fixedWidth("N" + std::to_string(i), store::kComboNameWidth));
    }
    EXPECT_EQ(store::listComboNames(dir.path()), expected);
    EXPECT_EQ(store::comboCount(dir.path()), kPerWriter);
}
