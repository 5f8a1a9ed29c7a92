// brindle-cli download against brindle-modsim on a pseudo-terminal, as a user
// would run it: the simulator's E2PROM is then compared byte for byte.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

#include "store/databases.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace brindle::testing {
namespace {

struct CliRun {
    int status = -1;
    std::string err;
};

CliRun runCli(const std::vector<std::string>& args, const std::string& errFile) {
    std::vector<std::string> all = {BRINDLE_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    CliRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.err = readBytes(errFile);
    return run;
}

const std::string kFirstImage =
    hexBytes("31 20 4D 41 20 31 30 30 30 0D 47 4F 54 4F 0E 02 0D 4D 41 43 52 4F 02 0D");
const std::string kTenImage = hexBytes("4D 41 43 52 4F 0A 0D");
// Its label is 31 bytes into the macro area: location 3617 = 0E 21.
const std::string kSecondImage = hexBytes("32 20 4D 41 20 37 0D 47 4F 54 4F 0E 21 0D");

class CliDownload : public ::testing::Test {
  protected:
    void SetUp() override {
        addMacro("FIRST", "/* DEMO */\r\nSTART:\r\n1 MA 1000\r\nGOTO START\r\nMACRO 2");
        addMacro("TEN", "macro 10");
        addMacro("SECOND", "LOOP:\r\n2 ma 7\r\nGOTO LOOP");
        store::ComboRecord c;
        c.Name = "LINE 1";
        c.NodeAddress = 9;
        c.StartingMacroNum = 5;
        c.Sequence[0] = 1;
        c.Sequence[2] = 2;
        c.Sequence[4] = 3;
        ASSERT_TRUE(store::writeCombo(dir.path(), 1, c));
    }
    void addMacro(const std::string& name, const std::string& text) {
        testing::addMacro(dir.path(), name, text);
    }
    std::vector<std::string> simOptions(const std::vector<std::string>& extra) {
        return modsimOptionsIn(dir.path(), extra);
    }
    CliRun download(const std::string& combo = "LINE 1") {
        return runCli({"download", "--data", dir.path(), "--combo", combo}, dir.file("err.txt"));
    }
    std::string eeprom(int from, int count) {
        return readBytes(dir.file("ee.bin"))
            .substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count));
    }
    void expectDownloadedLayout() {
        EXPECT_EQ(toHex(eeprom(0, 4)), "09 05 03 58");
        EXPECT_EQ(toHex(eeprom(16, 10)), "0E 02 FF FF 0E 1A FF FF 0E 21");
        EXPECT_EQ(eeprom(526, 12), "FIRST       ");
        EXPECT_EQ(eeprom(538, 12), std::string(12, '\xFF'));
        EXPECT_EQ(eeprom(550, 12), "TEN         ");
        EXPECT_EQ(eeprom(574, 12), "SECOND      ");
        EXPECT_EQ(toHex(eeprom(3586, 46)), toHex(kFirstImage + kTenImage + kSecondImage + "\xFF"));
    }
    TempDir dir;
};

}  // namespace

TEST_F(CliDownload, writesTheWholeLayoutIntoTheModule) {
    ModsimProcess sim(simOptions({}));
    CliRun run = download();
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Download successful"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("note: macro"), std::string::npos) << run.err;
    expectDownloadedLayout();
    // The first frame on the wire marks the image incomplete.
    EXPECT_EQ(toHex(readBytes(dir.file("wire.bin")).substr(0, 9)), "23 41 06 57 00 03 5A FB 0D");
    // The whole download's progress as each macro begins and at the end: 92
    // bytes are "Z", 3 x 14 table and name bytes, 45 image bytes, 4 header.
    for (const char* line :
         {"  0 of 92 bytes written\n", "  1 of 92 bytes written, macro 1 of 3: FIRST, ",
          "  39 of 92 bytes written, macro 2 of 3: TEN, ",
          "  60 of 92 bytes written, macro 3 of 3: SECOND, "}) {
        EXPECT_NE(run.err.find(line), std::string::npos) << line << "\n" << run.err;
    }
    EXPECT_NE(
        run.err.find("  92 of 92 bytes written, macro 3 of 3: SECOND\nnote: Download successful\n"),
        std::string::npos)
        << run.err;
}

// What compiling noted, before the run, as Save Macro warns of it.
TEST_F(CliDownload, notesNumbersTooLargeForTheirFieldAndJumpsWithoutLabel) {
    addMacro("BIG", "1 ST 300000\r\nGOTO AWAY\r\nMACRO 1");
    testing::addCombo(dir.path(), "NOTED", {{0, 4}});
    ModsimProcess sim(simOptions({}));
    CliRun run = download("NOTED");
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("brindle-cli download: note: macro \"BIG\": status argument "
                           "\"300000\" does not fit four hex digits (at most 65535); it is "
                           "stored as 93E0\n"
                           "brindle-cli download: note: macro \"BIG\": no label \"AWAY\"; the "
                           "jump keeps its place holder\n"),
              0u)
        << run.err;
    EXPECT_EQ(eeprom(3586, 10), "1 ST 93E0\r");
}

TEST_F(CliDownload, droppedRepliesGiveTheSameLayoutOrAnHonestFailure) {
    ModsimProcess sim(simOptions({"--drop", "0.15", "--seed", "7"}));
    CliRun run = download();
    ASSERT_TRUE(sim.stop());
    if (run.status == 0) {
        expectDownloadedLayout();
    } else {
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("A download failure occurred"), std::string::npos);
        EXPECT_EQ(eeprom(3, 1), "Z");
    }
}

TEST_F(CliDownload, aSilentModuleIsAFailureWithStatusOne) {
    ModsimProcess sim(simOptions({"--silent"}));
    CliRun run = download();
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("A download failure occurred"), std::string::npos) << run.err;
    EXPECT_NE(eeprom(3, 1), "X");
}

TEST_F(CliDownload, anUnknownCombinationIsAnInputErrorAndNothingIsSent) {
    ModsimProcess sim(simOptions({}));
    CliRun run = download("NO SUCH");
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no combination named \"NO SUCH\""), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(dir.file("wire.bin")), "");
}

}  // namespace brindle::testing
