// The words of the several-port download on standard error.
#include "cli/gang_report.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace brindle;

TEST(GangReport, portArgumentsAreEveryPortValueBeforeTheEndOfOptions) {
    const struct {
        cli::Arguments args;
        std::vector<std::string> ports;
    } cases[] = {
        {{"--combo", "X", "--port", "/dev/a", "--port", "b"}, {"/dev/a", "b"}},
        {{"--port", "a", "--", "--port", "b"}, {"a"}},
        {{"--port"}, {}},
        {{"--combo", "--port"}, {}},  // "--port" is then only read as a flag word
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::portArguments(c.args), c.ports);
    }
}

TEST(GangReport, theTableHasOneAlignedRowPerPortWithTheReasonOnOneLine) {
    std::vector<download::GangLineResult> results(2);
    results[0] = {"/dev/ttyUSB0", true, "Download successful", 71, 0, 0.84};
    results[1] = {"p1", false, "A download failure occurred\nCom1: p1 closed (device removed)",
                  6,    41,    12.25};
    // The result column is as wide as the longest reason; numbers right-aligned.
    const std::string reason = "A download failure occurred; Com1: p1 closed (device removed)";
    EXPECT_EQ(cli::gangResultTable(results), "port          result" +
                                                 std::string(reason.size() - 6, ' ') +
                                                 "  bytes  rewrites    time\n"
                                                 "/dev/ttyUSB0  Download successful" +
                                                 std::string(reason.size() - 19, ' ') +
                                                 "     71         0     0.8 s\n"
                                                 "p1            " +
                                                 reason + "      6        41    12.2 s\n");
}

TEST(GangReport, plainProgressWritesALineOnlyWhenAPortsStepChanges) {
    std::ostringstream err;
    cli::GangProgressLines lines(err, false);
    std::vector<download::GangLineProgress> p(2);
    p[0].line = "a";
    p[1].line = "bb";
    p[0].overall.bytesTotal = p[1].overall.bytesTotal = 10;
    lines.show(p);
    p[0].overall.bytesWritten = 3;  // a byte more: no new line
    lines.show(p);
    p[1].status = "Downloading Macro 1";
    p[1].overall.macro = 1;
    p[1].overall.macroCount = 1;
    p[1].overall.macroName = "M";
    p[0].ended = true;
    lines.show(p);
    EXPECT_EQ(err.str(),
              "a   starting  0 of 10 bytes written\n"
              "bb  starting  0 of 10 bytes written\n"
              "a   ended\n"
              "bb  Downloading Macro 1  0 of 10 bytes written, macro 1 of 1: M\n");
}

TEST(GangReport, onATerminalEveryPortsLineIsRedrawnInPlace) {
    std::ostringstream err;
    cli::GangProgressLines lines(err, true);
    std::vector<download::GangLineProgress> p(2);
    p[0].line = "a";
    p[1].line = "b";
    p[0].ended = p[1].ended = true;
    lines.show(p);
    lines.show(p);
    EXPECT_EQ(err.str(),
              "\r\x1b[Ka  ended\n\r\x1b[Kb  ended\n"
              "\x1b[2A\r\x1b[Ka  ended\n\r\x1b[Kb  ended\n");
}
