#pragma once
// How far a whole download has come: the bytes written of all it will write,
// the macro under way and the time left at the rate so far. The progress
// frame follows the current macro only; this is what a user plans with.
#include <cstdint>
#include <optional>
#include <string>

#include "download/download_plan.h"

namespace brindle::download {

struct OverallProgress {
    int bytesWritten = 0;  // confirmed by reading them back
    int bytesTotal = 0;
    int macro = 0;  // the macro under way, from 1; 0 before the first
    int macroCount = 0;
    std::optional<int64_t> secondsLeft;  // none before the first byte is written
    bool ended = false;                  // the run is over, whatever its outcome
    std::string macroName;               // of the macro under way, without trailing blanks
};

// Every byte a download writes: "Z" to location 3, for each macro its
// start-table entry (2), name (12) and image, then the 4 header bytes.
int bytesToWrite(const DownloadPlan& plan);

// At the rate so far, rounded up to whole seconds; none before the first byte.
std::optional<int64_t> secondsLeft(int written, int total, int64_t elapsedMicros);

// "1234 of 4285 bytes written, macro 3 of 20: PICK, about 0:42 left"; the
// macro is left out before the first, the time once the run has ended.
std::string overallProgressText(const OverallProgress& progress);

}  // namespace brindle::download
