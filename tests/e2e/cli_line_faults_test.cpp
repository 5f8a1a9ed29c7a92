// brindle-cli against brindle-modsim when the line misbehaves: the module
// vanishes mid-download, the user presses Ctrl-C, a talking controller never
// answers the wake-up, the device is no terminal or the stored speed makes no
// sense. Every run must end promptly, say why and leave location 3 honest.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "store/config.h"
#include "store/databases.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class CliLineFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        // One macro of 30 moves: about 320 bytes to write, some seconds at
        // 38400 baud, so that the run is surely under way when the test acts.
        std::string text;
        for (int i = 0; i < 30; ++i) {
            text += "1 MA " + std::to_string(1000 + i) + "\r\n";
        }
        const int32_t macro = addMacro(dir.path(), "LONG", text);
        addCombo(dir.path(), "LINE 1", {{0, macro}}, 9, 1);
    }

    std::vector<std::string> simOptions(const std::vector<std::string>& extra = {}) {
        return modsimOptionsIn(dir.path(), extra);
    }
    std::vector<std::string> cli(std::vector<std::string> args) {
        args.insert(args.begin(), BRINDLE_CLI_PATH);
        return args;
    }
    std::vector<std::string> download(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"download", "--data", dir.path(), "--combo", "LINE 1"};
        args.insert(args.end(), extra.begin(), extra.end());
        return cli(args);
    }
    // Waits (in steps of 5 ms, for 10 s at most) until the module has been
    // sent at least count bytes.
    bool wireReaches(std::size_t count) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (readBytes(dir.file("wire.bin")).size() < count) {
            if (Clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
    char location3() { return readBytes(dir.file("ee.bin")).at(3); }

    TempDir dir;
};

// The simulator killed mid-download hangs the terminal up: the run ends at
// once with the port's reason and exit status 1, without spinning meanwhile.
TEST_F(CliLineFaults, aModuleThatVanishesMidDownloadEndsTheRunWithThePortsReason) {
    ModsimProcess sim(simOptions());
    ChildProcess run(download());
    ASSERT_TRUE(wireReaches(400));
    sim.kill();
    const auto killed = Clock::now();
    const ChildResult r = run.waitAtMost(10'000);
    const double took = secondsSince(killed);
    ASSERT_FALSE(r.timedOut) << r.err;
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_LT(took, 3.0) << r.err;
    EXPECT_LT(r.cpuSeconds, 1.0) << r.err;
    // The port's reason is the last word of the run.
    const std::string closed =
        "brindle-cli download: Com1: " + dir.file("com1") + " closed (device removed or hung up)\n";
    ASSERT_GE(r.err.size(), closed.size()) << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - closed.size()), closed) << r.err;
    EXPECT_EQ(location3(), 'Z');
}

// Ctrl-C (and SIGTERM) cancel as the Cancel button does: the run ends at
// once, says it was cancelled and what the module holds, exit status 130.
TEST_F(CliLineFaults, interruptingTheDownloadCancelsItAndLeavesTheIncompleteMark) {
    for (const int signal : {SIGINT, SIGTERM}) {
        ModsimProcess sim(simOptions());
        ChildProcess run(download());
        ASSERT_TRUE(wireReaches(400));
        run.sendSignal(signal);
        const auto sent = Clock::now();
        const ChildResult r = run.waitAtMost(10'000);
        const double took = secondsSince(sent);
        ASSERT_TRUE(sim.stop());
        ASSERT_FALSE(r.timedOut) << r.err;
        EXPECT_EQ(r.status, 130) << signal << r.err;
        EXPECT_LT(took, 1.0) << signal;
        EXPECT_NE(r.err.find("brindle-cli download: cancelled: the download did not finish, and "
                             "the Macro Module holds an incomplete image (location 3 is not "
                             "\"X\")\n"),
                  std::string::npos)
            << r.err;
        // The program's own failure message is not shown for a cancel.
        EXPECT_EQ(r.err.find("A download failure occurred"), std::string::npos) << r.err;
        EXPECT_EQ(location3(), 'Z') << signal;
        std::filesystem::remove(dir.file("wire.bin"));
        std::filesystem::remove(dir.file("ee.bin"));
    }
}

// A controller that keeps talking and never answers the wake-up: four
// wake-ups, about half a second each, then exit status 1 and nothing else on
// the wire. Ctrl-C during that wait ends it at once.
TEST_F(CliLineFaults, aControllerThatNeverAnswersTheWakeUpIsGivenUpAfterFourTries) {
    {
        ModsimProcess sim(simOptions({"--chatter", "--sync", "none"}));
        const auto start = Clock::now();
        const ChildResult r = runChild(download(), {});
        const double took = secondsSince(start);
        ASSERT_TRUE(sim.stop());
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("brindle-cli download: the controller is talking but never answered "
                             "the wake-up (CR CR, sent 4 times); nothing more was sent\n"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(toHex(readBytes(dir.file("wire.bin"))), "0D 0D 0D 0D 0D 0D 0D 0D");
        EXPECT_GE(took, 4 * 0.5);
        EXPECT_LT(took, 5.0);
        EXPECT_EQ(location3(), '\xFF');
    }
    {
        ModsimProcess sim(simOptions({"--chatter", "--sync", "none"}));
        ChildProcess run(download());
        ASSERT_TRUE(wireReaches(2));
        run.sendSignal(SIGINT);
        const auto sent = Clock::now();
        const ChildResult r = run.waitAtMost(10'000);
        EXPECT_LT(secondsSince(sent), 1.0);
        ASSERT_TRUE(sim.stop());
        EXPECT_EQ(r.status, 130) << r.err;
        EXPECT_NE(r.err.find("brindle-cli download: cancelled: the download stopped before its "
                             "first byte was confirmed"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(readBytes(dir.file("wire.bin")).find('#'), std::string::npos);
    }
}

// The other serial commands end the same ways: Ctrl-C during a long clear
// or during cancel's wait for the wake-up answer gives status 130 and says
// what was left; cancel gives a deaf controller up after four wake-ups.
TEST_F(CliLineFaults, clearAndCancelAreInterruptedOrGiveUpTheSameWay) {
    const struct {
        std::vector<std::string> sim;
        std::vector<std::string> args;
        std::size_t sentFirst;  // bytes on the wire before the signal
        std::string leftBehind;
    } cases[] = {
        {{},
         {"clear", "--from", "100", "--to", "3000"},
         200,
         "brindle-cli clear: cancelled: the clear did not finish; locations 100 to 3000 may be "
         "cleared in part\n"},
        {{"--chatter", "--sync", "none"},
         {"cancel"},
         2,
         "brindle-cli cancel: cancelled: no confirmation came; the block command may or may not "
         "have reached the controller\n"},
    };
    for (const auto& c : cases) {
        ModsimProcess sim(simOptions(c.sim));
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--data", dir.path()});
        ChildProcess run(cli(args));
        ASSERT_TRUE(wireReaches(c.sentFirst));
        run.sendSignal(SIGINT);
        const auto sent = Clock::now();
        const ChildResult r = run.waitAtMost(10'000);
        EXPECT_LT(secondsSince(sent), 1.0) << c.args[0];
        ASSERT_TRUE(sim.stop());
        EXPECT_EQ(r.status, 130) << r.err;
        ASSERT_GE(r.err.size(), c.leftBehind.size()) << r.err;
        EXPECT_EQ(r.err.substr(r.err.size() - c.leftBehind.size()), c.leftBehind) << r.err;
    }
    ModsimProcess sim(simOptions({"--chatter", "--sync", "none"}));
    const ChildResult r = runChild(cli({"cancel", "--data", dir.path()}), {});
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("brindle-cli cancel: the controller is talking but never answered the "
                         "wake-up (CR CR, sent 4 times); nothing more was sent\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(toHex(readBytes(dir.file("wire.bin"))), "0D 0D 0D 0D 0D 0D 0D 0D");
}

// A device that cannot serve as the port says so with the system's reason,
// exit status 1, before the download sends anything.
TEST_F(CliLineFaults, aDeviceThatIsNoTerminalOrIsMissingIsNamedWithTheSystemsReason) {
    const struct {
        std::string device;
        std::string reason;
    } cases[] = {
        {"/etc/passwd", "not a terminal"},
        {dir.file("nonexistent"), "No such file or directory"},
        {dir.path().substr(0, dir.path().size() - 1), "not a terminal"},
    };
    for (const auto& c : cases) {
        const ChildResult r = runChild(download({"--port", c.device}), {});
        EXPECT_EQ(r.status, 1) << c.device << "\n" << r.err;
        EXPECT_NE(r.err.find("brindle-cli download: Com1: " + c.device + " closed (" + c.reason),
                  std::string::npos)
            << c.device << "\n"
            << r.err;
    }
}

// A stored speed no port runs at is refused before anything is sent, with
// the file and the value; --baud replaces it.
TEST_F(CliLineFaults, aStoredSpeedNoPortRunsAtIsRefusedNamingTheFileAndValue) {
    for (const int32_t baud : {1, 49, 4'000'001, -9600}) {
        store::ConfigRecord config;
        config.BaudRate = baud;
        writeBytes(store::configPath(dir.path()), config.encode());
        for (const char* command : {"download", "read", "cancel"}) {
            std::vector<std::string> args = {command, "--data", dir.path(), "--port",
                                             "/nonexistent"};
            if (std::string(command) == "download") {
                args.insert(args.end(), {"--combo", "LINE 1"});
            }
            const ChildResult r = runChild(cli(args), {});
            EXPECT_EQ(r.status, 2) << command << " " << baud << "\n" << r.err;
            EXPECT_EQ(r.err, std::string("brindle-cli ") + command + ": The line speed " +
                                 std::to_string(baud) + " stored in " + dir.path() +
                                 "ZrtCfg.Dat is not one a serial port runs at (50 to 4000000 "
                                 "bits per second). Give one with --baud, or choose a Baud "
                                 "Rate on the Setup tab.\n");
        }
    }
    // With --baud the stored value does not matter: the run gets as far as
    // the (missing) device.
    const ChildResult r = runChild(download({"--port", "/nonexistent", "--baud", "38400"}), {});
    EXPECT_EQ(r.status, 1) << r.err;
}

}  // namespace
}  // namespace brindle::testing
