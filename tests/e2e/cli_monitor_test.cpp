// brindle-cli against a talking brindle-modsim: --monitor prints on standard
// error each line the controller sends, as the receive window shows it, while
// the run ends as it does without it; monitor prints the lines until Ctrl-C
// and sends nothing.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <regex>
#include <thread>

#include "tests/e2e/modsim_process.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

class CliMonitor : public ::testing::Test {
  protected:
    void SetUp() override {
        const int32_t macro = addMacro(dir.path(), "FIRST", "1 MA 1000\r\n2 MA 7");
        addCombo(dir.path(), "LINE 1", {{0, macro}}, 9, 1);
    }
    std::vector<std::string> simOptions(const std::vector<std::string>& extra) {
        return modsimOptionsIn(dir.path(), extra);
    }
    ChildResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), BRINDLE_CLI_PATH);
        args.insert(args.end(), {"--data", dir.path()});
        return runChild(args);
    }
    // The numbers of the chatter lines in text, in the order printed.
    static std::vector<int> statusNumbers(const std::string& text, const std::string& form) {
        std::vector<int> numbers;
        const std::regex line(form);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), line);
             it != std::sregex_iterator(); ++it) {
            numbers.push_back(std::stoi((*it)[1].str()));
        }
        return numbers;
    }
    static void expectConsecutive(const std::vector<int>& numbers) {
        ASSERT_FALSE(numbers.empty());
        for (std::size_t i = 1; i < numbers.size(); ++i) {
            EXPECT_EQ(numbers[i], numbers[i - 1] + 1) << "a line went missing before " << i;
        }
    }

    TempDir dir;
};

}  // namespace

// The chatter before the wake-up, its answer and the module's answers to the
// download's reads all reach standard error, once each and in order.
TEST_F(CliMonitor, downloadAndCancelWithMonitorPrintEveryLineTheControllerSends) {
    {
        ModsimProcess sim(simOptions({"--chatter", "--chatter-interval", "40"}));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const ChildResult r = cli({"download", "--combo", "LINE 1", "--monitor"});
        ASSERT_TRUE(sim.stop());
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<int> chatter = statusNumbers(r.err, "receive: STATUS ([0-9]{4})<cr>\n");
        expectConsecutive(chatter);
        EXPECT_EQ(chatter.front(), 0);
        const std::size_t answer = r.err.find("receive: " + hexBytes("23 4D 03 58 A8") + "<cr>\n");
        ASSERT_NE(answer, std::string::npos) << r.err;
        EXPECT_GT(answer, r.err.rfind("receive: STATUS"));
        // The read of "X" at location 3 was answered and shown.
        EXPECT_NE(r.err.find("receive: " + hexBytes("23 4D 04 52 58 FB") + "<cr>\n"),
                  std::string::npos);
        EXPECT_EQ(readBytes(dir.file("ee.bin")).substr(0, 4), hexBytes("09 01 01 58"));
    }
    {
        ModsimProcess sim(simOptions({"--chatter", "--chatter-interval", "40"}));
        // Talking already, so that the 20-tick probe hears it.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const ChildResult r = cli({"cancel", "--monitor"});
        ASSERT_TRUE(sim.stop());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("receive:  B 0<cr>\n"), std::string::npos) << r.err;
        EXPECT_EQ(toHex(readBytes(dir.file("wire.bin"))), "0D 0D 23 41 04 53 00 98 0D");
    }
}

TEST_F(CliMonitor, monitorPrintsTheLinesUntilCtrlCAndSendsNothing) {
    struct Case {
        std::vector<std::string> flags;
        std::string form;
    };
    for (const Case& c :
         {Case{{"--timestamps"}, "\\[[0-9]+ ms\\] STATUS ([0-9]{4})\n"},
          Case{{"--hex"}, "53 54 41 54 55 53 20 3([0-9]) 3[0-9] 3[0-9] 3[0-9] 0D 0A\n"}}) {
        ModsimProcess sim(simOptions({"--chatter", "--chatter-interval", "20"}));
        std::vector<std::string> args = {BRINDLE_CLI_PATH, "monitor", "--port",
                                         dir.file("com1"), "--data",  dir.path()};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        ChildProcess run(args);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        run.sendSignal(SIGINT);
        const ChildResult r = run.waitAtMost(5'000);
        ASSERT_TRUE(sim.stop());
        ASSERT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(readBytes(dir.file("wire.bin")), "");
        const std::vector<int> numbers = statusNumbers(r.out, c.form);
        EXPECT_GE(numbers.size(), 10u) << r.out;
        if (c.flags[0] == "--timestamps") {
            expectConsecutive(numbers);
            EXPECT_EQ(r.out.find("STATUS 0000"), r.out.find("STATUS"));
        } else {
            // Every byte, the line's CR LF included.
            EXPECT_EQ(r.out.substr(0, 39), "53 54 41 54 55 53 20 30 30 30 30 0D 0A\n");
        }
    }
}

}  // namespace brindle::testing
