// brindle-cli verify, backup, restore and download --changed-only against
// brindle-modsim on a pseudo-terminal: exit statuses, what they print, the
// module's E2PROM afterwards and the frames they sent.
#include <gtest/gtest.h>

#include "store/databases.h"
#include "tests/e2e/cli_process.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

// A write frame's start: '#' 'A' 06 'W'.
const std::string kWriteStart = hexBytes("23 41 06 57");

class CliContents : public ::testing::Test {
  protected:
    // OLD and NEW: FIRST in position 1, SECOND (NEW: SECOND edited) in 3.
    void SetUp() override {
        const int32_t first = addMacro(dir.path(), "FIRST", kWorkedExample);
        const int32_t second = addMacro(dir.path(), "SECOND", "LOOP:\r\n2 ma 7\r\nGOTO LOOP");
        const int32_t edited = addMacro(dir.path(), "EDITED", "LOOP:\r\n2 ma 8\r\nGOTO LOOP");
        addCombo(dir.path(), "OLD", {{0, first}, {2, second}}, 9, 1);
        addCombo(dir.path(), "NEW", {{0, first}, {2, edited}}, 9, 1);
    }
    std::vector<std::string> simOptions(const std::vector<std::string>& extra = {}) {
        return modsimOptionsIn(dir.path(), extra);
    }
    CliResult cli(std::vector<std::string> args) {
        args.insert(args.end(), {"--data", dir.path()});
        return runCliCapturing(BRINDLE_CLI_PATH, args, dir.path());
    }
    std::string wire() { return readBytes(dir.file("wire.bin")); }
    std::string eeprom() { return readBytes(dir.file("ee.bin")); }
    // The E2PROM after whole downloads of the names, on a clean line.
    std::string reference(const std::vector<std::string>& names) {
        writeBytes(dir.file("ee.bin"), "");
        ModsimProcess sim(simOptions());
        for (const std::string& name : names) {
            EXPECT_EQ(cli({"download", "--combo", name}).status, 0);
        }
        sim.stop();
        return eeprom();
    }

    TempDir dir;
};

TEST_F(CliContents, verifyTellsSameDifferentAndBlankApart) {
    {
        ModsimProcess sim(simOptions());
        const CliResult blank = cli({"verify", "--combo", "OLD"});
        EXPECT_EQ(blank.status, 1);
        EXPECT_NE(blank.err.find("holds no complete download"), std::string::npos) << blank.err;
    }
    reference({"OLD"});
    ModsimProcess sim(simOptions());
    const std::size_t mark = wire().size();
    const CliResult same = cli({"verify", "--combo", "OLD"});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "The Macro Module holds combination \"OLD\" exactly.\n");
    const CliResult different = cli({"verify", "--combo", "NEW"});
    EXPECT_EQ(different.status, 1);
    // The name "SECOND" against "EDITED" differs in 5 letters (only the
    // last, D, agrees), the image in one ("7" against "8").
    EXPECT_NE(different.out.find("macro \"EDITED\" (position 3): 6 locations differ, the first "
                                 "at 550\n"),
              std::string::npos)
        << different.out;
    EXPECT_EQ(wire().find(kWriteStart, mark), std::string::npos);  // nothing written
}

TEST_F(CliContents, backupAndRestoreGiveTheModuleBackInBothFormats) {
    const std::string downloaded = reference({"OLD"});
    for (const std::string name : {"module.hex", "module.img"}) {
        writeBytes(dir.file("ee.bin"), downloaded);
        {
            ModsimProcess sim(simOptions());
            const CliResult backup = cli({"backup", "--out", dir.file(name)});
            ASSERT_EQ(backup.status, 0) << backup.err;
        }
        writeBytes(dir.file("ee.bin"), "");
        ModsimProcess sim(simOptions());
        const CliResult restore = cli({"restore", dir.file(name)});
        EXPECT_EQ(restore.status, 0) << restore.err;
        sim.stop();
        EXPECT_EQ(eeprom(), downloaded) << name;
    }
}

TEST_F(CliContents, aDumpByteTheFirstTwoPassesDisagreeOnIsSettledByAThird) {
    reference({"OLD"});
    ModsimProcess sim(simOptions({"--corrupt-dump", "0"}));
    const CliResult backup = cli({"backup", "--out", dir.file("m.hex")});
    ASSERT_EQ(backup.status, 0) << backup.err;
    sim.stop();
    const std::string hex = readBytes(dir.file("m.hex"));
    // The first record of the macro area starts at 3586 (14 bytes to the end
    // of its row) and holds its byte.
    const std::size_t at = hex.find(":0E0E0200");
    ASSERT_NE(at, std::string::npos) << hex;
    EXPECT_EQ(hex.substr(at + 9, 2), "31");  // "1", as the first image begins
    EXPECT_EQ(backup.err.find("not known for certain"), std::string::npos) << backup.err;
    const std::string dump = hexBytes("23 41 04 45 32 BC 0D");
    const std::string sent = wire();
    int dumps = 0;
    for (std::size_t i = sent.find(dump); i != std::string::npos; i = sent.find(dump, i + 1)) {
        ++dumps;
    }
    EXPECT_EQ(dumps, 3);
}

TEST_F(CliContents, restoreRefusesWhatIsNotABackupAndSendsNothing) {
    writeBytes(dir.file("bad.hex"), ":040000000905035A91\r\n:00000001FF\r\n");
    writeBytes(dir.file("short.img"), std::string(100, '\xFF'));
    ModsimProcess sim(simOptions());
    for (const char* name : {"bad.hex", "short.img", "missing.hex"}) {
        const CliResult restore = cli({"restore", dir.file(name)});
        EXPECT_EQ(restore.status, 2) << name;
        EXPECT_NE(restore.err.find("not a valid backup"), std::string::npos) << restore.err;
    }
    sim.stop();
    EXPECT_EQ(wire(), "");
}

TEST_F(CliContents, changedOnlyWritesWhatChangedNothingWhenIdenticalAndAllWhenBlank) {
    const std::string exact = reference({"OLD", "NEW"});
    writeBytes(dir.file("ee.bin"), "");
    ModsimProcess sim(simOptions());
    const CliResult blank = cli({"download", "--combo", "OLD", "--changed-only"});
    EXPECT_EQ(blank.status, 0) << blank.err;
    EXPECT_EQ(blank.err.find("changed only:"), std::string::npos);  // a whole download

    std::size_t mark = wire().size();
    const CliResult identical = cli({"download", "--combo", "OLD", "--changed-only"});
    EXPECT_EQ(identical.status, 0) << identical.err;
    EXPECT_NE(identical.err.find("nothing was written"), std::string::npos);
    EXPECT_EQ(wire().find(kWriteStart, mark), std::string::npos);

    mark = wire().size();
    const CliResult edited = cli({"download", "--combo", "NEW", "--changed-only"});
    EXPECT_EQ(edited.status, 0) << edited.err;
    // "Z", 6 bytes, "X".
    EXPECT_NE(edited.err.find("changed only: 8 bytes written"), std::string::npos) << edited.err;
    sim.stop();
    EXPECT_EQ(eeprom(), exact);
}

TEST_F(CliContents, changedOnlyOnANoisyLineEndsExactOrHonestlyFailed) {
    const std::string old = reference({"OLD"});
    const std::string exact = reference({"OLD", "NEW"});
    for (const char* seed : {"1", "2", "3"}) {
        writeBytes(dir.file("ee.bin"), old);
        ModsimProcess sim(
            simOptions({"--drop", "0.2", "--corrupt-bytes", "0.005", "--seed", seed}));
        const CliResult run = cli({"download", "--combo", "NEW", "--changed-only"});
        sim.stop();
        if (run.status == 0) {
            EXPECT_EQ(eeprom(), exact) << seed;
        } else {
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_NE(eeprom()[3], 'X') << seed;
        }
    }
}

}  // namespace
}  // namespace brindle::testing
