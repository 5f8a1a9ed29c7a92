#include "tests/macrotext/reference_rewrite.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "base/numeric.h"
#include "base/text.h"
#include "macrotext/legacy_string.h"
#include "macrotext/status_arguments.h"

namespace brindle::testing::reference {

namespace {

using macrotext::instr;
using macrotext::left;
using macrotext::length;
using macrotext::mid;
using macrotext::right;

constexpr std::string_view kCR = "\r";

// The argument as a message quotes it: its printable characters, without the
// blanks around them.
std::string quoted(std::string_view argument) {
    std::string printable;
    std::copy_if(argument.begin(), argument.end(), std::back_inserter(printable),
                 [](char c) { return static_cast<unsigned char>(c) >= ' '; });
    const std::size_t first = printable.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return printable.substr(first, printable.find_last_not_of(' ') - first + 1);
}

// The last four of the eight hex digits of the value's 32-bit two's
// complement, the value rounded to the nearest integer with halves to even
// (the default rounding mode of nearbyint); nothing outside 32 bits.
std::optional<std::string> lastFourHexDigits(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double whole = std::nearbyint(value);
    if (whole < -2147483648.0 || whole > 2147483647.0) {
        return std::nullopt;
    }
    const auto bits = static_cast<uint32_t>(static_cast<int32_t>(whole));
    std::array<char, 9> digits{};
    std::snprintf(digits.data(), digits.size(), "%08X", static_cast<unsigned>(bits));
    return std::string(digits.data() + 4, 4);
}

// Four hex digits for a status argument a (trimmed, possibly ending in the
// line's CR). Arguments of 0 or less are left as written, so nothing is
// returned for them; problem is set when the value has no four-digit form.
std::optional<std::string> convertedArgument(const std::string& a, std::string& problem) {
    if (a.empty()) {
        return std::nullopt;
    }
    const double v = base::numericValue(a);
    if (!(v > 0)) {
        return std::nullopt;
    }
    std::optional<std::string> digits = lastFourHexDigits(v);
    if (!digits) {
        problem = "status argument \"" + quoted(a) + "\" does not fit 32 bits";
    }
    return digits;
}

}  // namespace

// "c ST n >T" (and its variants) becomes "c STJ n", CR, "GOTO T", CR, ...;
// a further "ST " after the jump gets the first character of the line and a
// blank put before it, so a chained condition keeps its axis.
std::string expandJumps(std::string L) {
    long g = instr(L, ">");
    while (g != 0) {
        long s = instr(L, "ST ", g);
        std::string P = L;
        L = left(P, g - 1) + std::string(kCR);
        if (s == 0) {
            L += "GOTO " + mid(P, g + 1) + std::string(kCR);
        } else if (s >= g + 2) {
            L += "GOTO " + mid(P, g + 1, s - g - 2) + std::string(kCR);
        }
        if (s != 0) {
            L += mid(P, s);
        }
        long t = instr(L, "ST ");
        if (t != 0) {
            L = left(L, t - 1) + "STJ" + mid(L, t + 2);
        }
        P = L;
        long next = instr(L, "ST ", g);
        if (next != 0) {
            L = left(L, next - 1) + left(L, 1) + " " + mid(P, next);
        }
        g = instr(L, ">");
    }
    return L;
}

base::Result<std::string> rewriteLine(std::string_view line) {
    std::string text;
    std::string problem;
    std::string L = expandJumps(base::upperAscii(line) + std::string(kCR));
    // P keeps the line as it was before its status argument was converted.
    std::string P = L;

    long b = instr(L, " ");
    if (mid(L, b + 1, 3) == "ST " && b + 2 < length(base::trimBlanks(L))) {
        long n = length(base::trimTrailingBlanks(L));
        std::string a = base::trimBlanks(right(L, n - 3 - b));
        if (std::optional<std::string> digits = convertedArgument(a, problem)) {
            L = left(L, b + 3) + *digits + std::string(kCR);
        } else if (!problem.empty()) {
            return base::Status::failure(problem);
        }
    }

    for (;;) {
        b = instr(L, " ");
        if (mid(L, b + 1, 3) == "STJ") {
            long e = instr(L, kCR);
            std::string piece = left(L, e - 1);
            // The argument stands at a fixed place, after "c STJ "; a line
            // too short to hold one is emitted as it is.
            std::string a = base::trimBlanks(mid(L, 7, e - 7));
            if (std::optional<std::string> digits = convertedArgument(a, problem)) {
                piece = left(L, b + 3) + " " + *digits;
            } else if (!problem.empty()) {
                return base::Status::failure(problem);
            }
            text += piece + std::string(kCR);
            e = instr(P, kCR);
            if (e == 0) {
                break;
            }
            L = mid(P, e + 1);
            P = L;
            if (L.empty()) {
                break;
            }
        } else if (instr(L, "GOTO") != 0 && instr(L, kCR) != 0) {
            long e = instr(L, kCR);
            P = L;
            text += left(L, e);
            L = mid(P, e + 1);
            P = L;
            if (L.empty()) {
                break;
            }
        } else {
            text += L;
            break;
        }
    }
    return text;
}

base::Result<std::string> rewriteStatusArguments(std::string_view text) {
    std::string rewritten;
    for (const std::string& line : macrotext::splitMacroLines(text)) {
        base::Result<std::string> one = rewriteLine(line);
        if (!one) {
            return one.status();
        }
        rewritten += *one;
    }
    return rewritten;
}

}  // namespace brindle::testing::reference
