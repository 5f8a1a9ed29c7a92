// The production rewrite against the reference on many short lines over the
// characters that matter to it: every line up to four characters, then
// random ones from a fixed seed, where "ST " and "ST" are also drawn whole.
// Any difference is a fault; the first few are shown with their line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "macrotext/jump_expansion.h"
#include "macrotext/status_arguments.h"
#include "tests/macrotext/reference_rewrite.h"

namespace {

namespace reference = brindle::testing::reference;
namespace macrotext = brindle::macrotext;

constexpr std::string_view kAlphabet = "ST >J1A\r\n";
constexpr int kRandomLines = 10000;
constexpr std::size_t kLongestRandomLine = 28;

std::string shown(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return "\"" + out + "\"";
}

class Comparison {
  public:
    void check(const std::string& line) {
        ++cases_;
        std::string fast = macrotext::expandJumps(line);
        std::string slow = reference::expandJumps(line);
        if (fast != slow) {
            report("expansion of " + shown(line) + ": " + shown(fast) + " instead of " +
                   shown(slow));
        }
        if (fast.find("STJ") != std::string::npos && countOf(line, '>') >= 2) {
            ++chained_;
        }
        auto fastText = macrotext::rewriteStatusArguments(line);
        auto slowText = reference::rewriteStatusArguments(line);
        if (fastText.ok() != slowText.ok() || fastText.message() != slowText.message() ||
            fastText.valueOr("") != slowText.valueOr("")) {
            report("rewrite of " + shown(line) + ": " +
                   shown(fastText.valueOr(fastText.message())) + " instead of " +
                   shown(slowText.valueOr(slowText.message())));
        }
    }

    int cases() const { return cases_; }
    int differences() const { return differences_; }
    int chained() const { return chained_; }

  private:
    static long countOf(std::string_view text, char c) {
        return static_cast<long>(std::count(text.begin(), text.end(), c));
    }
    void report(const std::string& what) {
        if (++differences_ <= 5) {
            ADD_FAILURE() << what;
        }
    }

    int cases_ = 0;
    int differences_ = 0;
    int chained_ = 0;
};

void everyLine(Comparison& comparison, std::string& line, int more) {
    comparison.check(line);
    if (more == 0) {
        return;
    }
    for (char c : kAlphabet) {
        line.push_back(c);
        everyLine(comparison, line, more - 1);
        line.pop_back();
    }
}

TEST(RewriteDifferential, everyLineUpToFourCharactersMatchesTheReference) {
    Comparison comparison;
    std::string line;
    everyLine(comparison, line, 4);
    EXPECT_EQ(comparison.cases(), 1 + 9 + 81 + 729 + 6561);
    EXPECT_EQ(comparison.differences(), 0);
}

TEST(RewriteDifferential, randomLinesMatchTheReference) {
    // mt19937's sequence is fixed by the standard, so every platform draws the
    // same lines.
    std::mt19937 random(20240613u);
    Comparison comparison;
    for (int i = 0; i < kRandomLines; ++i) {
        std::size_t size = random() % (kLongestRandomLine + 1);
        std::string line;
        while (line.size() < size) {
            // "ST " and "ST" drawn whole now and then, or few lines would
            // hold one, let alone two next to each other.
            std::uint32_t draw = random() % 8;
            if (draw < 2) {
                line += "ST ";
            } else if (draw == 2) {
                line += "ST";
            } else {
                line.push_back(kAlphabet[random() % kAlphabet.size()]);
            }
        }
        comparison.check(line);
        // The same line as the rewrite hands it over, ending in its CR.
        comparison.check(line + "\r");
    }
    EXPECT_EQ(comparison.differences(), 0);
    // The lines must reach the chained cases, or the comparison proves little.
    EXPECT_GT(comparison.chained(), kRandomLines / 4);
}

}  // namespace
