#include "download/overall_progress.h"

#include <cstdio>

namespace brindle::download {
namespace {

constexpr int kTableAndNameBytes = 2 + 12;
constexpr int kFirstAndHeaderBytes = 1 + 4;

// M:SS, or H:MM:SS from an hour on.
std::string clockText(int64_t seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(
            text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
            static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    return text;
}

}  // namespace

int bytesToWrite(const DownloadPlan& plan) {
    int total = kFirstAndHeaderBytes;
    for (const PlannedMacro& macro : plan.macros) {
        total += kTableAndNameBytes + static_cast<int>(macro.image.size());
    }
    return total;
}

std::optional<int64_t> secondsLeft(int written, int total, int64_t elapsedMicros) {
    if (written <= 0 || elapsedMicros < 0) {
        return std::nullopt;
    }
    const int64_t left = total > written ? total - written : 0;
    const int64_t micros = (elapsedMicros * left + written - 1) / written;
    return (micros + 999'999) / 1'000'000;
}

std::string overallProgressText(const OverallProgress& progress) {
    std::string text = std::to_string(progress.bytesWritten);
    text += " of ";
    text += std::to_string(progress.bytesTotal);
    text += " bytes written";
    if (progress.macro > 0) {
        text += ", macro ";
        text += std::to_string(progress.macro);
        text += " of ";
        text += std::to_string(progress.macroCount);
        if (!progress.macroName.empty()) {
            text += ": ";
            text += progress.macroName;
        }
    }
    if (progress.secondsLeft && !progress.ended) {
        text += ", about ";
        text += clockText(*progress.secondsLeft);
        text += " left";
    }
    return text;
}

}  // namespace brindle::download
