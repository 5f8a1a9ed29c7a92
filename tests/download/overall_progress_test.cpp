#include "download/overall_progress.h"

#include <gtest/gtest.h>

namespace brindle::download {
namespace {

TEST(OverallProgress, bytesToWriteCountsZTablesNamesImagesAndHeader) {
    DownloadPlan plan;
    EXPECT_EQ(bytesToWrite(plan), 5);
    PlannedMacro first;
    first.image = std::string(24, 'a');
    plan.macros.push_back(first);
    plan.macros.emplace_back();  // an empty image
    EXPECT_EQ(bytesToWrite(plan), 1 + (14 + 24) + (14 + 0) + 4);
}

TEST(OverallProgress, secondsLeftComeFromTheRateSoFarRoundedUp) {
    struct Case {
        int written;
        int total;
        int64_t elapsedMicros;
        std::optional<int64_t> seconds;
    };
    for (const Case& c : std::vector<Case>{
             {10, 110, 5'000'000, 50},
             {1, 3, 1, 1},  // 2 us left is a second
             {100, 100, 9'000'000, 0},
             {3, 2, 1'000'000, 0},  // more than the total: nothing left
             {0, 100, 5'000'000, std::nullopt},
             {5, 100, -1, std::nullopt},
         }) {
        EXPECT_EQ(secondsLeft(c.written, c.total, c.elapsedMicros), c.seconds)
            << c.written << " of " << c.total << " in " << c.elapsedMicros << " us";
    }
}

TEST(OverallProgress, textGivesBytesMacroAndTimeLeft) {
    struct Case {
        OverallProgress progress;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{
             {{0, 4285, 0, 20, std::nullopt, false, ""}, "0 of 4285 bytes written"},
             {{1, 4285, 0, 20, 700, false, ""}, "1 of 4285 bytes written, about 11:40 left"},
             {{1234, 4285, 3, 20, 42, false, ""},
              "1234 of 4285 bytes written, macro 3 of 20, about 0:42 left"},
             {{12, 90000, 1, 1, 3725, false, ""},
              "12 of 90000 bytes written, macro 1 of 1, about 1:02:05 left"},
             {{4285, 4285, 20, 20, 0, true, ""}, "4285 of 4285 bytes written, macro 20 of 20"},
             {{900, 4285, 6, 20, 80, true, ""}, "900 of 4285 bytes written, macro 6 of 20"},
             {{39, 92, 2, 3, 1, false, "PICK"},
              "39 of 92 bytes written, macro 2 of 3: PICK, about 0:01 left"},
         }) {
        EXPECT_EQ(overallProgressText(c.progress), c.text);
    }
}

}  // namespace
}  // namespace brindle::download
