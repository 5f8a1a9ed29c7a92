// Several fake modules downloaded at once, each line on its own thread and in
// its own virtual time: a line that fails, one that never answers and one
// whose adapter goes away end alone, the others finish byte for byte.
#include "download/gang_download.h"

#include <gtest/gtest.h>

#include <atomic>

#include "base/text.h"
#include "sim/fake_gang_rig.h"
#include "state/eeprom_layout.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::toHex;

namespace {

// A line's trouble; NoRig: its port cannot be set up at all.
enum class Trouble { None, StopsMidway, Silent, Unplugged, NoRig };

class Gang : public ::testing::Test {
  public:
    Gang() {
        state.DataDir = dir.path();
        const int32_t first =
            brindle::testing::addMacro(dir.path(), "FIRST", brindle::testing::kWorkedExample);
        const int32_t second =
            brindle::testing::addMacro(dir.path(), "SECOND", brindle::testing::kSecondMacro);
        brindle::testing::addCombo(dir.path(), "TWO", {{0, first}, {2, second}}, 7, 3);
        auto planned =
            download::planDownload(dir.path(), base::fixedWidth("TWO", 16), state::kMacroArea);
        EXPECT_TRUE(planned && *planned);
        plan = **planned;
    }

    std::vector<download::GangLineResult> run(
        const std::vector<Trouble>& troubles,
        std::function<void(download::GangDownload&)> onChange = {},
        download::GangOperation operation = {}) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < troubles.size(); ++i) {
            names.push_back("line" + std::to_string(i));
        }
        eeproms.assign(troubles.size(), std::vector<uint8_t>(sim::kEepromSize, 0xFF));
        download::GangDownload gang(
            names, state, plan,
            [&](std::size_t i, link::SharedSignals& shared, download::DownloadView& view,
                link::ReceiveView& receive) -> std::unique_ptr<download::GangRig> {
                if (troubles[i] == Trouble::NoRig) {
                    return nullptr;
                }
                sim::ModuleOptions o;
                o.baud = 38400;
                o.silent = troubles[i] == Trouble::Silent;
                // Answers the wake-up and a few writes, then nothing more.
                o.stopAfterFrames = troubles[i] == Trouble::StopsMidway ? 12 : -1;
                // Well into the writes: the wake-up is over after a few ticks.
                return std::make_unique<sim::FakeGangRig>(
                    shared, view, receive, o, eeproms[i],
                    troubles[i] == Trouble::Unplugged ? 150'000 : -1);
            },
            std::move(operation));
        std::atomic<int> changes{0};
        gang.start([&] {
            ++changes;
            if (onChange) {
                onChange(gang);
            }
        });
        auto results = gang.wait();
        EXPECT_TRUE(gang.finished());
        EXPECT_GT(changes.load(), 0);
        last = gang.takeProgress();
        return results;
    }

    std::string eeprom(std::size_t line, int from, int count) {
        const auto& e = eeproms[line];
        return std::string(e.begin() + from, e.begin() + from + count);
    }

    brindle::testing::TempDir dir;
    state::MainState state;
    download::DownloadPlan plan;
    std::vector<std::vector<uint8_t>> eeproms;
    std::vector<download::GangLineProgress> last;
};

// Every byte the download writes: "Z", two table entries, two names, the
// images (24 + 14) and the 4 header bytes.
constexpr int kBytes = 1 + 2 * 2 + 2 * 12 + 24 + 14 + 4;

void expectWholeImage(Gang& g, std::size_t line) {
    SCOPED_TRACE("line " + std::to_string(line));
    EXPECT_EQ(toHex(g.eeprom(line, 0, 4)), "07 03 02 58");
    EXPECT_EQ(toHex(g.eeprom(line, 16, 6)), "0E 02 FF FF 0E 1A");
    EXPECT_EQ(g.eeprom(line, 526, 36), "FIRST       " + std::string(12, '\xFF') + "SECOND      ");
    EXPECT_EQ(toHex(g.eeprom(line, 3586, 39)), toHex(brindle::testing::kWorkedExampleImage +
                                                     brindle::testing::kSecondMacroImage + "\xFF"));
}

}  // namespace

// Each troubled line ends alone with its reason; were a line's failure to
// stop the others, or a result be put on the wrong line, the good lines
// around it would not hold the whole image.
TEST_F(Gang, troubledLinesEndAloneAndTheOthersWriteTheWholeImage) {
    const struct {
        Trouble trouble;
        const char* says;  // at the start of the result's message
        int bytes;         // confirmed; -1: not all
    } lines[] = {
        {Trouble::None, "Download successful", kBytes},
        // Its "Z" and some bytes confirmed, never marked complete.
        {Trouble::StopsMidway, "A download failure occurred", -1},
        {Trouble::None, "Download successful", kBytes},
        // Nothing confirmed, every try counted as a rewrite.
        {Trouble::Silent, "A download failure occurred", 0},
        // Its reason is the port's: "device removed".
        {Trouble::Unplugged, "A download failure occurred", -1},
        // No port at all: nothing written, the others go on.
        {Trouble::NoRig, "the line could not be set up", 0},
    };
    std::vector<Trouble> troubles;
    for (const auto& l : lines) {
        troubles.push_back(l.trouble);
    }
    const auto results = run(troubles);
    ASSERT_EQ(results.size(), troubles.size());
    for (std::size_t i = 0; i < troubles.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        const auto& r = results[i];
        EXPECT_EQ(r.line, "line" + std::to_string(i));
        EXPECT_TRUE(last[i].ended);
        EXPECT_EQ(last[i].line, r.line);
        EXPECT_EQ(r.message.rfind(lines[i].says, 0), 0u) << r.message;
        EXPECT_EQ(r.succeeded, lines[i].trouble == Trouble::None);
        EXPECT_EQ(eeprom(i, 3, 1) == "X", r.succeeded);
        if (lines[i].bytes >= 0) {
            EXPECT_EQ(r.bytes, lines[i].bytes);
        } else {
            EXPECT_LT(r.bytes, kBytes);
        }
        if (r.succeeded) {
            EXPECT_EQ(r.rewrites, 0);
            EXPECT_GT(r.seconds, 0.0);
            expectWholeImage(*this, i);
        }
    }
    EXPECT_EQ(eeprom(1, 3, 1), "Z");
    EXPECT_GT(results[1].bytes, 0);
    EXPECT_GT(results[3].rewrites, 0);
    EXPECT_NE(results[4].message.find("device removed"), std::string::npos) << results[4].message;
}

TEST_F(Gang, cancelAllLeavesNoLineMarkedCompleteThatDidNotFinish) {
    std::atomic<bool> cancelled{false};
    const auto results = run({Trouble::None, Trouble::None, Trouble::None, Trouble::None},
                             [&](download::GangDownload& gang) {
                                 if (cancelled) {
                                     return;
                                 }
                                 const auto progress = gang.takeProgress();
                                 if (progress[0].overall.bytesWritten >= 10) {
                                     cancelled = true;
                                     gang.cancelAll();
                                 }
                             });
    ASSERT_TRUE(cancelled);
    EXPECT_FALSE(results[0].succeeded);
    EXPECT_EQ(results[0].message.rfind("cancelled: ", 0), 0u) << results[0].message;
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_EQ(eeprom(i, 3, 1) == "X", results[i].succeeded);
        if (results[i].succeeded) {
            expectWholeImage(*this, i);
        } else {
            EXPECT_LT(results[i].bytes, kBytes);
        }
    }
}

TEST_F(Gang, aGivenOperationRunsOnEveryLineInsteadOfTheDownload) {
    // It writes nothing: what it showed and said last is the line's result.
    for (const auto outcome :
         {download::DownloadOutcome::Succeeded, download::DownloadOutcome::Failed}) {
        std::atomic<int> calls{0};
        state.QueryReset = true;  // a gang never clears the program
        const auto results =
            run({Trouble::None, Trouble::None}, {},
                [&](link::LinkContext&, state::MainState& window, download::DownloadView& view,
                    base::Prompter& prompter, const download::DownloadRequest& request) {
                    ++calls;
                    const bool planned = request.chosen && request.plan && *request.plan &&
                                         (*request.plan)->macros.size() == 2 && !window.QueryReset;
                    download::OverallProgress shown;
                    shown.bytesWritten = planned ? 5 : 1;
                    view.showOverallProgress(shown);
                    prompter.show("changed: 5", base::Icon::Information, base::Buttons::Ok);
                    return outcome;
                });
        EXPECT_EQ(calls.load(), 2);
        for (std::size_t line = 0; line < results.size(); ++line) {
            SCOPED_TRACE(line);
            EXPECT_EQ(results[line].succeeded, outcome == download::DownloadOutcome::Succeeded);
            EXPECT_EQ(results[line].message, "changed: 5");
            EXPECT_EQ(results[line].bytes, 5);
            EXPECT_EQ(eeprom(line, 3, 1), "\xFF");
        }
    }
}
