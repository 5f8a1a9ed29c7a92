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

// "Z", two table entries and names, 24 + 14 image bytes, 4 header bytes.
constexpr const char* kAllBytes = "71";

class CliGangDownload : public ::testing::Test {
  protected:
    void SetUp() override {
        const int32_t first = addMacro(dir.path(), "FIRST", kWorkedExample);
        const int32_t second = addMacro(dir.path(), "SECOND", kSecondMacro);
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
    // The end table's row of each device (the last line that starts with it
    // and ends in seconds: the table comes after the progress lines) says
    // says; its bytes column is bytes (when given), or is not (bytesHeld false).
    void expectRows(const CliResult& run, const std::vector<std::string>& devices,
                    const std::string& says, const std::string& bytes, bool bytesHeld = true) {
        for (const std::string& device : devices) {
            std::istringstream lines(run.err);
            std::string line;
            std::string row;
            while (std::getline(lines, line)) {
                if (line.rfind(device + "  ", 0) == 0 && line.size() > 2 &&
                    line.compare(line.size() - 2, 2, " s") == 0) {
                    row = line;
                }
            }
            EXPECT_NE(row.find("  " + says), std::string::npos) << run.err;
            EXPECT_TRUE(bytes.empty() ||
                        (row.find("  " + bytes + "  ") != std::string::npos) == bytesHeld)
                << row;
        }
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

    for (const std::string name : {"good1", "good2"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(toHex(eeprom(name, 0, 4)), "09 05 02 58");
        EXPECT_EQ(toHex(eeprom(name, 16, 6)), "0E 02 FF FF 0E 1A");
        EXPECT_EQ(eeprom(name, 526, 36), "FIRST       " + std::string(12, '\xFF') + "SECOND      ");
        EXPECT_EQ(toHex(eeprom(name, 3586, 39)),
                  toHex(kWorkedExampleImage + kSecondMacroImage + "\xFF"));
    }
    expectRows(run, {devices[0], devices[3]}, "Download successful  ", kAllBytes);
    // Marked incomplete with some bytes written; never touched at all.
    EXPECT_EQ(eeprom("stops", 3, 1), "Z");
    EXPECT_EQ(readBytes(dir.file("silent.bin")).find('X'), std::string::npos);
    expectRows(run, {devices[1], devices[2]}, "A download failure occurred", kAllBytes, false);
}

// Also: every port good is exit status 0, a port given twice or a single-port
// option with several ports is refused before anything is sent.
TEST_F(CliGangDownload, changedOnlyAndRestoreRunOnEveryPort) {
    ModsimProcess whole(simOptions("whole", {}));
    ASSERT_EQ(download({whole.devicePath()}).status, 0);
    ASSERT_TRUE(whole.stop());
    const std::string gangImage = readBytes(dir.file("whole.bin"));

    ModsimProcess a(simOptions("a", {}));
    ModsimProcess b(simOptions("b", {}));
    const std::vector<std::string> ab = {a.devicePath(), b.devicePath()};
    ASSERT_EQ(download(ab, {}, "OTHER").status, 0);
    const CliResult twice = download({ab[0], ab[0]});
    const CliResult monitor = download(ab, {"--monitor"});
    const CliResult changed = download(ab, {"--changed-only"});
    ASSERT_TRUE(a.stop() && b.stop());
    EXPECT_EQ(changed.status, 0) << changed.err;
    // "Z", the six letters of "SECOND" that differ from "THIRD ", the image's
    // 7 for its 8, "X".
    expectRows(changed, ab, "Download successful  ", "    9");
    EXPECT_EQ(readBytes(dir.file("a.bin")), gangImage);
    EXPECT_EQ(readBytes(dir.file("b.bin")), gangImage);

    writeBytes(dir.file("backup.bin"), gangImage);
    writeBytes(dir.file("short.bin"), gangImage.substr(1));
    ModsimProcess c(simOptions("c", {}));
    ModsimProcess d(simOptions("d", {}));
    const std::vector<std::string> cd = {c.devicePath(), d.devicePath()};
    const CliResult shortBackup = run({"restore", dir.file("short.bin")}, cd, {});
    const CliResult restored = run({"restore", dir.file("backup.bin")}, cd, {});
    ASSERT_TRUE(c.stop() && d.stop());
    EXPECT_EQ(restored.status, 0) << restored.err;
    expectRows(restored, cd, "Restore successful  ", "");
    EXPECT_EQ(readBytes(dir.file("c.bin")), gangImage);
    EXPECT_EQ(readBytes(dir.file("d.bin")), gangImage);

    const struct {
        const CliResult& refused;
        const char* says;
    } refusals[] = {
        {twice, "given twice"}, {monitor, "single --port"}, {shortBackup, "not a valid backup"}};
    for (const auto& r : refusals) {
        EXPECT_EQ(r.refused.status, 2) << r.refused.err;
        EXPECT_NE(r.refused.err.find(r.says), std::string::npos) << r.refused.err;
    }
}
}  // namespace brindle::testing
