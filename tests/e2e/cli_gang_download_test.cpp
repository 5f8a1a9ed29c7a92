// brindle-cli download with several --port options against several
// brindle-modsim processes at once: the good modules get the whole image byte
// for byte, the troubled ones fail alone, and the table says which is which.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/e2e/cli_process.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

const std::string kFirstImage =
    hexBytes("31 20 4D 41 20 31 30 30 30 0D 47 4F 54 4F 0E 02 0D 4D 41 43 52 4F 02 0D");
const std::string kSecondImage = hexBytes("32 20 4D 41 20 37 0D 47 4F 54 4F 0E 1A 0D");
// "Z", two table entries and names, 24 + 14 image bytes, 4 header bytes.
constexpr const char* kAllBytes = "71";

class CliGangDownload : public ::testing::Test {
  protected:
    void SetUp() override {
        const int32_t first = addMacro(
            dir.path(), "FIRST", "/* DEMO */\r\nSTART:\r\n1 MA 1000\r\nGOTO START\r\nMACRO 2");
        const int32_t second = addMacro(dir.path(), "SECOND", "LOOP:\r\n2 ma 7\r\nGOTO LOOP");
        addCombo(dir.path(), "GANG", {{0, first}, {2, second}}, 9, 5);
        // GANG but for the second macro's name and one byte of its image.
        const int32_t third = addMacro(dir.path(), "THIRD", "LOOP:\r\n2 ma 8\r\nGOTO LOOP");
        addCombo(dir.path(), "OTHER", {{0, first}, {2, third}}, 9, 5);
    }
    std::vector<std::string> simOptions(const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> o = {"--eeprom", dir.file(name + ".bin"), "--baud", "38400"};
        o.insert(o.end(), extra.begin(), extra.end());
        return o;
    }
    std::string eeprom(const std::string& name, int from, int count) {
        return readBytes(dir.file(name + ".bin"))
            .substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count));
    }
    // The end table's row of a port, split into its words.
    std::string row(const CliResult& run, const std::string& device) {
        std::istringstream lines(run.err);
        std::string line;
        std::string found;
        while (std::getline(lines, line)) {
            if (line.rfind(device + "  ", 0) == 0 && line.size() > 2 &&
                line.compare(line.size() - 2, 2, " s") == 0) {
                found = line;  // the last one: the table comes after the progress lines
            }
        }
        return found;
    }
    CliResult download(const std::vector<std::string>& devices, std::vector<std::string> extra = {},
                       const std::string& combo = "GANG") {
        return run({"download", "--data", dir.path(), "--combo", combo}, devices, extra);
    }
    CliResult run(std::vector<std::string> args, const std::vector<std::string>& devices,
                  const std::vector<std::string>& extra) {
        for (const std::string& d : devices) {
            args.push_back("--port");
            args.push_back(d);
        }
        args.insert(args.end(), extra.begin(), extra.end());
        return runCliCapturing(BRINDLE_CLI_PATH, args, dir.path());
    }
    TempDir dir;
};

}  // namespace

TEST_F(CliGangDownload, goodModulesGetTheWholeImageAndTroubledOnesFailAlone) {
    ModsimProcess good1(simOptions("good1", {}));
    ModsimProcess stops(simOptions("stops", {"--stop-after", "20"}));
    ModsimProcess silent(simOptions("silent", {"--silent"}));
    ModsimProcess good2(simOptions("good2", {}));
    const std::vector<std::string> devices = {good1.devicePath(), stops.devicePath(),
                                              silent.devicePath(), good2.devicePath()};
    const CliResult run = download(devices);
    ASSERT_TRUE(good1.stop() && stops.stop() && silent.stop() && good2.stop());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("result"), std::string::npos) << run.err;

    for (const std::string name : {"good1", "good2"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(toHex(eeprom(name, 0, 4)), "09 05 02 58");
        EXPECT_EQ(toHex(eeprom(name, 16, 6)), "0E 02 FF FF 0E 1A");
        EXPECT_EQ(eeprom(name, 526, 12), "FIRST       ");
        EXPECT_EQ(eeprom(name, 550, 12), "SECOND      ");
        EXPECT_EQ(toHex(eeprom(name, 3586, 39)), toHex(kFirstImage + kSecondImage + "\xFF"));
    }
    for (const std::string& device : {devices[0], devices[3]}) {
        const std::string r = row(run, device);
        EXPECT_NE(r.find("  Download successful  "), std::string::npos) << run.err;
        EXPECT_NE(r.find(std::string("  ") + kAllBytes + "  "), std::string::npos) << r;
    }
    // Marked incomplete with some bytes written; never touched at all.
    EXPECT_EQ(eeprom("stops", 3, 1), "Z");
    EXPECT_EQ(readBytes(dir.file("silent.bin")).find('X'), std::string::npos);
    for (const std::string& device : {devices[1], devices[2]}) {
        const std::string r = row(run, device);
        EXPECT_NE(r.find("  A download failure occurred"), std::string::npos) << run.err;
        EXPECT_EQ(r.find(std::string("  ") + kAllBytes + "  "), std::string::npos) << r;
    }
}

TEST_F(CliGangDownload, allGoodIsExitZeroAndBadPortListsAreRefused) {
    ModsimProcess a(simOptions("a", {}));
    ModsimProcess b(simOptions("b", {}));
    const CliResult ok = download({a.devicePath(), b.devicePath()});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(eeprom("a", 0, 4), eeprom("b", 0, 4));
    EXPECT_EQ(toHex(eeprom("b", 0, 4)), "09 05 02 58");

    struct Case {
        std::vector<std::string> devices;
        std::vector<std::string> extra;
        std::string says;
    };
    for (const Case& c : {Case{{a.devicePath(), a.devicePath()}, {}, "given twice"},
                          Case{{a.devicePath(), b.devicePath()}, {"--monitor"}, "single --port"}}) {
        const CliResult refused = download(c.devices, c.extra);
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_NE(refused.err.find(c.says), std::string::npos) << refused.err;
    }
    ASSERT_TRUE(a.stop() && b.stop());
}

TEST_F(CliGangDownload, changedOnlyAndRestoreRunOnEveryPort) {
    ModsimProcess whole(simOptions("whole", {}));
    ASSERT_EQ(download({whole.devicePath()}).status, 0);
    ASSERT_TRUE(whole.stop());
    const std::string gangImage = readBytes(dir.file("whole.bin"));

    ModsimProcess a(simOptions("a", {}));
    ModsimProcess b(simOptions("b", {}));
    const std::vector<std::string> ab = {a.devicePath(), b.devicePath()};
    ASSERT_EQ(download(ab, {}, "OTHER").status, 0);
    const CliResult changed = download(ab, {"--changed-only"});
    ASSERT_TRUE(a.stop() && b.stop());
    EXPECT_EQ(changed.status, 0) << changed.err;
    // "Z", the six letters of "SECOND" that differ from "THIRD ", the image's
    // 7 for its 8, "X".
    for (const std::string& device : ab) {
        const std::string r = row(changed, device);
        EXPECT_NE(r.find("  Download successful  "), std::string::npos) << changed.err;
        EXPECT_NE(r.find("      9  "), std::string::npos) << r;
    }
    EXPECT_EQ(readBytes(dir.file("a.bin")), gangImage);
    EXPECT_EQ(readBytes(dir.file("b.bin")), gangImage);

    writeBytes(dir.file("backup.bin"), gangImage);
    writeBytes(dir.file("short.bin"), gangImage.substr(1));
    ModsimProcess c(simOptions("c", {}));
    ModsimProcess d(simOptions("d", {}));
    const std::vector<std::string> cd = {c.devicePath(), d.devicePath()};
    const CliResult refused = run({"restore", dir.file("short.bin")}, cd, {});
    const CliResult restored = run({"restore", dir.file("backup.bin")}, cd, {});
    ASSERT_TRUE(c.stop() && d.stop());
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_NE(refused.err.find("not a valid backup"), std::string::npos) << refused.err;
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_NE(row(restored, cd[1]).find("  Restore successful  "), std::string::npos)
        << restored.err;
    EXPECT_EQ(readBytes(dir.file("c.bin")), gangImage);
    EXPECT_EQ(readBytes(dir.file("d.bin")), gangImage);
}
}  // namespace brindle::testing
