// Runs the built brindle-cli as a script would and checks its output bytes
// and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class BrindleCliTest : public ::testing::Test {
  protected:
    // Runs brindle-cli with args (already quoted for the shell) and input as
    // its standard input; the data folder is the test's own.
    CliRun run(const std::string& args, const std::string& input = "") {
        writeBytes(dir.file("stdin"), input);
        std::string command = std::string("'") + BRINDLE_CLI_PATH + "' " + args + " <'" +
                              dir.file("stdin") + "' >'" + dir.file("stdout") + "' 2>'" +
                              dir.file("stderr") + "'";
        int raw = std::system(command.c_str());
        CliRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readBytes(dir.file("stdout"));
        r.err = readBytes(dir.file("stderr"));
        return r;
    }
    std::string dataDir() const { return "--data '" + dir.path() + "'"; }

    TempDir dir;
};

// The worked example with a line end after its last line.
const std::string kWorkedExampleLine = brindle::testing::kWorkedExample + "\r\n";

}  // namespace

TEST_F(BrindleCliTest, compileHexPrintsTheWorkedExamplesImage) {
    writeBytes(dir.file("demo.txt"), kWorkedExampleLine);
    CliRun r = run("compile --hex " + dataDir() + " '" + dir.file("demo.txt") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "31 20 4D 41 20 31 30 30 30 0D 47 4F 54 4F 0E 02 0D 4D 41 43 52 4F 02 0D\n");
    EXPECT_EQ(r.err, "");
    // Only blanks are trimmed: the last line end stays in the work file.
    EXPECT_EQ(readBytes(dir.file("Macro.Tmp")), kWorkedExampleLine);
}

TEST_F(BrindleCliTest, compileWritesRawBytesAndHonoursTheOffset) {
    CliRun r = run("compile --offset 1000 " + dataDir(), "START:\r\n1 MA 5\r\nGOTO START");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string("1 MA 5\rGOTO\x11\xea\r"));
}

TEST_F(BrindleCliTest, compileRefusesABadMacroWithStatus2AndNoOutput) {
    CliRun r = run("compile --hex --name MOTION " + dataDir(), "1 MA 5\r\nMACRO -1\r\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "brindle-cli compile: Macro \"MOTION\" cannot be compiled: MACRO number -1 is below "
              "0\n");
}

TEST_F(BrindleCliTest, compileNotesAJumpWithoutLabel) {
    CliRun r = run("compile --hex " + dataDir(), "GOTO NOWHERE");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "47 4F 54 4F 30 31 0D\n");
    EXPECT_NE(r.err.find("\"NOWHERE\""), std::string::npos);
}

// The notes Save Macro warns of, one line each on standard error.
TEST_F(BrindleCliTest, compileNotesNumbersTooLargeForTheirFieldAndJumpsWithoutLabel) {
    CliRun r = run("compile --hex " + dataDir(), "1 ST 300000\r\nMACRO 300\r\nGOTO NOWHERE");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "31 20 53 54 20 39 33 45 30 0D 4D 41 43 52 4F 00 0D 47 4F 54 4F 30 31 0D\n");
    EXPECT_EQ(r.err,
              "brindle-cli compile: note: status argument \"300000\" does not fit four hex digits "
              "(at most 65535); it is stored as 93E0\n"
              "brindle-cli compile: note: MACRO number \"300\" does not fit one byte (at most "
              "255); it is stored as 0\n"
              "brindle-cli compile: note: no label \"NOWHERE\"; the jump keeps its place "
              "holder\n");
}

TEST_F(BrindleCliTest, normaliseWritesTheRewrittenTextOnly) {
    CliRun r = run("normalise " + dataDir(), "1 st 3 >20\r\n1 st 10\r\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1 STJ 0003\rGOTO 20\r\r1 ST 000A\r");
}

TEST_F(BrindleCliTest, normaliseRefusesAnArgumentBeyond32Bits) {
    CliRun r = run("normalise " + dataDir(), "1 ST 99999999999");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("does not fit 32 bits"), std::string::npos);
}

TEST_F(BrindleCliTest, everyCommandAnswersHelp) {
    for (const char* command : {"normalise", "compile"}) {
        CliRun r = run(std::string(command) + " --help");
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: brindle-cli ") + command, 0), 0u) << r.out;
    }
    EXPECT_EQ(run("--help").status, 0);
}

TEST_F(BrindleCliTest, rejectsBadUsageWithStatus2) {
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
    EXPECT_EQ(run("compile --bogus").status, 2);
    EXPECT_EQ(run("compile --offset").status, 2);
    EXPECT_EQ(run("compile --offset 12x").status, 2);
    EXPECT_EQ(run("compile --offset -4").status, 2);
    EXPECT_EQ(run("normalise a b").status, 2);
    EXPECT_EQ(run("normalise --data-dir ''").status, 2);
    EXPECT_EQ(run("compile --data-dir").status, 2);
    CliRun missing = run("compile '" + dir.file("absent.txt") + "'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
}

// A macro record holds 16332 characters of text; a longer text is refused
// before anything is rewritten or written.
TEST_F(BrindleCliTest, compileRefusesATextLongerThanAMacroHolds) {
    std::string text = "1 MA 5\r\n";
    writeBytes(dir.file("long.txt"), text + std::string(16333 - text.size(), ' '));
    CliRun r = run("compile --hex " + dataDir() + " '" + dir.file("long.txt") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "brindle-cli compile: the text has 16333 characters; a macro holds at most 16332\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Macro.Tmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Blockdat.Tmp")));
}

TEST_F(BrindleCliTest, compileTakesATextAsLongAsAMacroHolds) {
    std::string text = "1 MA 5\r\n";
    CliRun r = run("compile --hex " + dataDir(), text + std::string(16332 - text.size(), ' '));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "31 20 4D 41 20 35 0D\n");
}

TEST_F(BrindleCliTest, normaliseRefusesATextLongerThanAMacroHolds) {
    std::string jumps;
    for (int i = 0; i < 2722; ++i) {
        jumps += "1 >A\r\n";
    }
    CliRun r = run("normalise " + dataDir(), jumps + ">");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "brindle-cli normalise: the text has 16333 characters; a macro holds at most "
              "16332\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Macro.Tmp")));
}

TEST_F(BrindleCliTest, normaliseRewritesAFullMacroOfJumps) {
    std::string jumps;
    std::string expected;
    for (int i = 0; i < 2722; ++i) {
        jumps += "1 >A\r\n";
        expected += "1 \rGOTO A\r\r";
    }
    ASSERT_EQ(jumps.size(), 16332u);
    CliRun r = run("normalise " + dataDir(), jumps);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(readBytes(dir.file("Macro.Tmp")), jumps);
}
