// brindle-cli read, exec, cancel and clear against brindle-modsim on a
// pseudo-terminal, as a user would run them: exit statuses, what each prints,
// and the bytes the simulator received.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "store/databases.h"
#include "tests/e2e/cli_process.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

const std::string kDumpHex = "23 41 04 45 32 BC 0D";
const std::string kFourReadsHex =
    "23 41 05 52 00 00 98 0D 23 41 05 52 00 01 99 0D "
    "23 41 05 52 00 02 9A 0D 23 41 05 52 00 03 9B 0D";

class CliUtilities : public ::testing::Test {
  protected:
    // Positions 1, 3 and 5 of "LINE 1", node 9, boot macro 5.
    void SetUp() override {
        addMacro(dir.path(), "FIRST", "/* DEMO */\r\nSTART:\r\n1 MA 1000\r\nGOTO START\r\nMACRO 2");
        addMacro(dir.path(), "TEN", "macro 10");
        addMacro(dir.path(), "SECOND", "LOOP:\r\n2 ma 7\r\nGOTO LOOP");
        store::ComboRecord c;
        c.Name = "LINE 1";
        c.NodeAddress = 9;
        c.StartingMacroNum = 5;
        c.Sequence[0] = 1;
        c.Sequence[2] = 2;
        c.Sequence[4] = 3;
        ASSERT_TRUE(store::writeCombo(dir.path(), 1, c));
    }
    std::vector<std::string> simOptions(const std::vector<std::string>& extra = {}) {
        return modsimOptionsIn(dir.path(), extra);
    }
    CliResult cli(std::vector<std::string> args) {
        args.insert(args.end(), {"--data", dir.path()});
        return runCliCapturing(BRINDLE_CLI_PATH, args, dir.path());
    }
    // The module as a download for node 9 leaves it, as far as a block
    // command cares.
    void storeNode() { writeBytes(dir.file("ee.bin"), hexBytes("09 05 03 58")); }
    std::string wire() { return toHex(readBytes(dir.file("wire.bin"))); }
    // The bytes received since mark (a count of bytes), as hex.
    std::string wireSince(std::size_t mark) {
        return toHex(readBytes(dir.file("wire.bin")).substr(mark));
    }
    std::size_t wireSize() { return readBytes(dir.file("wire.bin")).size(); }

    TempDir dir;
};

}  // namespace

TEST_F(CliUtilities, readAfterADownloadShowsEveryMacroLineAndTheThreeValues) {
    ModsimProcess sim(simOptions());
    const CliResult download = cli({"download", "--combo", "LINE 1"});
    ASSERT_EQ(download.status, 0) << download.err;
    const std::size_t mark = wireSize();

    const CliResult read = cli({"read"});
    EXPECT_EQ(read.status, 0) << read.err;
    const std::string text =
        "\r\n0:\r\n1 MA 1000\r\nGOTO0\r\nMACRO 2\r\nMACRO 10\r\n\r\n31:\r\n2 MA 7\r\nGOTO31\r\n";
    EXPECT_EQ(read.out, text);
    EXPECT_NE(read.err.find("Macro Id: 9\nBoot Macro: 5\n# of Macros: 3\n"), std::string::npos)
        << read.err;
    // Read twice, to be compared.
    EXPECT_EQ(wireSince(mark),
              kDumpHex + " " + kFourReadsHex + " " + kDumpHex + " " + kFourReadsHex);
    EXPECT_EQ(readBytes(dir.file("e2read.tmp")),
              "1 MA 1000\r\nGOTO0\r\nMACRO 2\r\nMACRO 10\r\n2 MA 7\r\nGOTO31\r\n");

    const CliResult saved = cli({"read", "--out", dir.file("saved.txt")});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    EXPECT_EQ(readBytes(dir.file("saved.txt")), text);
}

TEST_F(CliUtilities, readOfAModuleWithoutADownloadShowsBlankAndNoValues) {
    ModsimProcess sim(simOptions());
    const CliResult read = cli({"read"});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "BLANK\r\n");
    EXPECT_NE(read.err.find("Macro Id: \nBoot Macro: \n# of Macros: \n"), std::string::npos)
        << read.err;
    EXPECT_EQ(wire(), kDumpHex + " " + kDumpHex);
}

TEST_F(CliUtilities, readOfABusyControllerSaysSoAndSendsNothing) {
    ModsimProcess sim(simOptions({"--chatter"}));
    const CliResult read = cli({"read"});
    EXPECT_EQ(read.status, 1);
    EXPECT_NE(read.err.find("Macro Executing !"), std::string::npos) << read.err;
    EXPECT_EQ(read.out, "");
    EXPECT_EQ(wire(), "");
}

TEST_F(CliUtilities, readOfASilentModuleFails) {
    ModsimProcess sim(simOptions({"--silent"}));
    const CliResult read = cli({"read"});
    EXPECT_EQ(read.status, 1);
    EXPECT_EQ(read.out, "Read Failed");
    EXPECT_NE(read.err.find("Macro Id: \nBoot Macro: Read Failed\n# of Macros: Read Failed\n"),
              std::string::npos)
        << read.err;
}

// The dump has no checksum: one reading cannot tell a byte changed on the
// line. With seed 8 and a third of the answers changed, the first dump is
// spoilt and the second is not: the two readings are compared and the first
// place where they part is named, nothing is written out, exit status 1.
// --once reads once, as the window does, and shows the spoilt text.
TEST_F(CliUtilities, readTwiceNamesWhereTheReadingsDifferAndOnceShowsOneReading) {
    std::string clean;
    {
        ModsimProcess sim(simOptions());
        ASSERT_EQ(cli({"download", "--combo", "LINE 1"}).status, 0);
        const CliResult read = cli({"read"});
        ASSERT_EQ(read.status, 0) << read.err;
        clean = read.out;
    }
    const std::vector<std::string> spoilt = {"--corrupt", "0.2", "--seed", "8"};
    std::string once;
    {
        ModsimProcess sim(simOptions(spoilt));
        const CliResult read = cli({"read", "--once"});
        EXPECT_EQ(read.status, 0) << read.err;
        EXPECT_EQ(wire(), kDumpHex + " " + kFourReadsHex);
        once = read.out;
    }
    const auto [at, unused] = std::mismatch(once.begin(), once.end(), clean.begin(), clean.end());
    ASSERT_NE(at, once.end()) << "seed 8 no longer spoils the first dump";
    const std::size_t position = static_cast<std::size_t>(at - once.begin());

    ModsimProcess sim(simOptions(spoilt));
    const CliResult twice = cli({"read"});
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.out, "");
    EXPECT_NE(twice.err.find("brindle-cli read: the two readings of the module differ: the text "
                             "differs at byte " +
                             std::to_string(position) + " "),
              std::string::npos)
        << twice.err;
    EXPECT_EQ(wire(), kDumpHex + " " + kFourReadsHex + " " + kDumpHex + " " + kFourReadsHex);
}

// Ctrl-C while the module trickles a dump that never ends: the read stops at
// once, sends nothing more and exits 130.
TEST_F(CliUtilities, ctrlCEndsAReadAtOnceWithStatus130) {
    {
        ModsimProcess sim(simOptions());
        ASSERT_EQ(cli({"download", "--combo", "LINE 1"}).status, 0);
    }
    ModsimProcess sim(simOptions({"--trickle", "5"}));
    ChildProcess run({BRINDLE_CLI_PATH, "read", "--data", dir.path()});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (wireSize() < 7 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    run.sendSignal(SIGINT);
    const auto sent = std::chrono::steady_clock::now();
    const ChildResult r = run.waitAtMost(10'000);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count(), 1.0);
    EXPECT_EQ(r.status, 130) << r.err;
    EXPECT_NE(r.err.find("brindle-cli read: cancelled: "), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(wire(), kDumpHex);
}

TEST_F(CliUtilities, execRunsTheBlockAtAListedPositionOnTheStoredNode) {
    storeNode();
    ModsimProcess sim(simOptions());
    const CliResult exec = cli({"exec", "--combo", "LINE 1", "--block", "3"});
    EXPECT_EQ(exec.status, 0) << exec.err;
    EXPECT_NE(exec.err.find("Execute Command Successful"), std::string::npos) << exec.err;
    EXPECT_EQ(wire(), "23 09 04 53 03 63 0D");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"exec", "--combo", "LINE 1", "--block", "2"},
          std::vector<std::string>{"exec", "--combo", "NO SUCH", "--block", "1"},
          std::vector<std::string>{"exec", "--combo", "LINE 1", "--block", "x"},
          std::vector<std::string>{"exec", "--combo", "LINE 1"}}) {
        EXPECT_EQ(cli(args).status, 2) << args.back();
    }
    EXPECT_EQ(wire(), "23 09 04 53 03 63 0D");
}

TEST_F(CliUtilities, aStartedBlockTalksUntilCancelled) {
    storeNode();
    ModsimProcess sim(simOptions({"--run-chatters"}));
    ASSERT_EQ(cli({"exec", "--combo", "LINE 1", "--block", "5"}).status, 0);
    const std::size_t mark = wireSize();
    const CliResult busy = cli({"read"});
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.err.find("Macro Executing !"), std::string::npos) << busy.err;
    EXPECT_EQ(wireSize(), mark);

    const CliResult cancel = cli({"cancel"});
    EXPECT_EQ(cancel.status, 0) << cancel.err;
    EXPECT_NE(cancel.err.find("Cancel Command Successful"), std::string::npos) << cancel.err;
    // The talking controller is woken before the cancel goes out.
    EXPECT_EQ(wireSince(mark), "0D 0D 23 41 04 53 00 98 0D");
    EXPECT_EQ(cli({"read"}).status, 0);
}

TEST_F(CliUtilities, aSilentControllerConfirmsNeitherExecNorCancel) {
    storeNode();
    ModsimProcess sim(simOptions({"--silent"}));
    const CliResult exec = cli({"exec", "--combo", "LINE 1", "--block", "1"});
    EXPECT_EQ(exec.status, 1);
    EXPECT_NE(exec.err.find("A confirmation of block execution was not detected."),
              std::string::npos)
        << exec.err;
    EXPECT_EQ(wireSize(), 5u * 7u);
    EXPECT_EQ(cli({"cancel"}).status, 1);
    EXPECT_EQ(wireSize(), 15u * 7u);
}

TEST_F(CliUtilities, clearWritesZeroesFromStartToEndAndRefusesBadRangesUnsent) {
    ModsimProcess sim(simOptions());
    for (const auto& [from, to] : {std::pair{"5", "5"}, std::pair{"16", "0"}, std::pair{"-1", "16"},
                                   std::pair{"0", "32768"}, std::pair{"a", "3"}}) {
        EXPECT_EQ(cli({"clear", "--from", from, "--to", to}).status, 2) << from << ".." << to;
    }
    EXPECT_EQ(wire(), "");

    const CliResult clear = cli({"clear", "--from", "0", "--to", "16"});
    EXPECT_EQ(clear.status, 0) << clear.err;
    EXPECT_NE(clear.err.find("Clear Program Process Successful! "), std::string::npos);
    // A write and a read per attempt; on a busy machine a late answer can
    // cost a location a second attempt.
    const std::string wire = readBytes(dir.file("wire.bin"));
    ASSERT_EQ(wire.size() % 17, 0u);
    EXPECT_LE(wire.size(), 20u * 17u);
    EXPECT_EQ(toHex(wire.substr(0, 17)), "23 41 06 57 00 00 00 9E 0D 23 41 05 52 00 00 98 0D");
    EXPECT_EQ(toHex(wire.substr(wire.size() - 17)),
              "23 41 06 57 00 10 00 AE 0D 23 41 05 52 00 10 A8 0D");
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(toHex(readBytes(dir.file("ee.bin")).substr(0, 18)),
              "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF");
}

TEST_F(CliUtilities, clearOfASilentModuleStopsAfterFortyAttempts) {
    ModsimProcess sim(simOptions({"--silent"}));
    const CliResult clear = cli({"clear", "--from", "3", "--to", "9"});
    EXPECT_EQ(clear.status, 1);
    EXPECT_NE(clear.err.find("Clear Program Process Unsuccessful "), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("wire.bin")).size(), 40u * 17u);
}

}  // namespace brindle::testing
