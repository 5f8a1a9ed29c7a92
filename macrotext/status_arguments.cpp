#include "macrotext/status_arguments.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/files.h"
#include "base/numeric.h"
#include "base/text.h"
#include "macrotext/hex4.h"
#include "macrotext/jump_expansion.h"
#include "macrotext/legacy_string.h"

namespace brindle::macrotext {
namespace {

constexpr std::string_view kCR = "\r";
constexpr double kLargestStatusArgument = 0xFFFF;

// The argument as the user wrote it, for a message: without the line end.
std::string shown(std::string_view argument) {
    std::string out;
    for (char c : argument) {
        if (static_cast<unsigned char>(c) >= 32) {
            out.push_back(c);
        }
    }
    return base::trimBlanks(out);
}

// The number of an argument as a note names it: what stands before its first
// control character (a lone LF does not end a line, so more may follow).
std::string shownNumber(std::string_view argument) {
    std::size_t end = 0;
    while (end < argument.size() && static_cast<unsigned char>(argument[end]) >= 32) {
        ++end;
    }
    return base::trimBlanks(argument.substr(0, end));
}

std::string tooLarge(std::string_view argument) {
    return "status argument \"" + shown(argument) + "\" does not fit 32 bits";
}

// Four hex digits for a status argument a (trimmed, possibly ending in the
// line's CR). Arguments of 0 or less are left as written, so nothing is
// returned for them; problem is set when the value has no four-digit form,
// and a note is added when the four digits keep only part of it.
std::optional<std::string> convertedArgument(const std::string& a, std::string& problem,
                                             std::vector<std::string>& notes) {
    if (a.empty()) {
        return std::nullopt;
    }
    double v = base::numericValue(a);
    if (!(v > 0)) {
        return std::nullopt;
    }
    std::optional<std::string> digits = hex4(v);
    if (!digits) {
        problem = tooLarge(a);
    } else if (base::roundHalfEven(v) > kLargestStatusArgument) {
        notes.push_back("status argument \"" + shownNumber(a) +
                        "\" does not fit four hex digits (at most 65535); it is stored as " +
                        *digits);
    }
    return digits;
}

// The first occurrence of a text at or after a start that never decreases
// from call to call: each stretch of the text is searched once in all.
class ForwardSearch {
  public:
    ForwardSearch(std::string_view text, std::string_view what) : text_(text), what_(what) {}

    std::size_t from(std::size_t start) {
        if (!searched_ || (found_ != std::string_view::npos && found_ < start)) {
            found_ = text_.find(what_, start);
            searched_ = true;
        }
        return found_;
    }

  private:
    std::string_view text_;
    std::string_view what_;
    std::size_t found_ = std::string_view::npos;
    bool searched_ = false;
};

// One version of the expanded line, with the searches the segment loop
// repeats on its ever shorter remainders.
struct LineVersion {
    explicit LineVersion(std::string line) : text(std::move(line)) {}
    LineVersion(const LineVersion&) = delete;
    LineVersion& operator=(const LineVersion&) = delete;

    std::string text;
    ForwardSearch blanks{text, " "};
    ForwardSearch gotos{text, "GOTO"};
};

// The remainder of a line version from a position on; taking a remainder
// copies nothing.
struct Remainder {
    LineVersion* line;
    std::size_t at;

    std::string_view view() const { return std::string_view(line->text).substr(at); }
    // mid(view(), e + 1).
    Remainder after(long e) const { return Remainder{line, at + static_cast<std::size_t>(e)}; }
    // instr(view(), " ").
    long firstBlank() const {
        std::size_t found = line->blanks.from(at);
        return found == std::string_view::npos ? 0 : static_cast<long>(found - at) + 1;
    }
    bool holdsGoto() const { return line->gotos.from(at) != std::string_view::npos; }
};

// Emits the segments of an expanded line: L is the line (its status argument
// possibly converted), P the line as expanded.
base::Result<std::string> emitSegments(Remainder L, Remainder P, std::vector<std::string>& notes) {
    std::string text;
    std::string problem;
    for (;;) {
        std::string_view l = L.view();
        long b = L.firstBlank();
        if (mid(l, b + 1, 3) == "STJ") {
            long e = instr(l, kCR);
            std::string piece = left(l, e - 1);
            // The argument stands at a fixed place, after "c STJ "; a line
            // too short to hold one is emitted as it is.
            std::string a = base::trimBlanks(mid(l, 7, e - 7));
            if (std::optional<std::string> digits = convertedArgument(a, problem, notes)) {
                piece = left(l, b + 3) + " " + *digits;
            } else if (!problem.empty()) {
                return base::Status::failure(problem);
            }
            text += piece;
            text += kCR;
            e = instr(P.view(), kCR);
            if (e == 0) {
                break;
            }
            L = P.after(e);
            P = L;
            if (L.view().empty()) {
                break;
            }
        } else if (L.holdsGoto() && instr(l, kCR) != 0) {
            long e = instr(l, kCR);
            P = L;
            text += left(l, e);
            L = P.after(e);
            P = L;
            if (L.view().empty()) {
                break;
            }
        } else {
            text += l;
            break;
        }
    }
    return text;
}

}  // namespace

std::vector<std::string> splitMacroLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == base::CR) {
            lines.push_back(current);
            current.clear();
            if (i + 1 < text.size() && text[i + 1] == base::LF) {
                ++i;
            }
        } else {
            current.push_back(text[i]);
        }
    }
    if (!current.empty()) {
        lines.push_back(current);
    }
    return lines;
}

base::Result<std::string> rewriteLine(std::string_view line) {
    std::vector<std::string> notes;
    return rewriteLine(line, notes);
}

base::Result<std::string> rewriteLine(std::string_view line, std::vector<std::string>& notes) {
    std::string problem;
    LineVersion expanded(expandJumps(base::upperAscii(line) + std::string(kCR)));
    std::optional<LineVersion> converted;
    // P keeps the line as it was before its status argument was converted.
    Remainder P{&expanded, 0};
    Remainder L = P;

    std::string_view whole = expanded.text;
    long b = instr(whole, " ");
    if (mid(whole, b + 1, 3) == "ST " && b + 2 < length(base::trimBlanks(whole))) {
        long n = length(base::trimTrailingBlanks(whole));
        std::string a = base::trimBlanks(right(whole, n - 3 - b));
        if (std::optional<std::string> digits = convertedArgument(a, problem, notes)) {
            converted.emplace(left(whole, b + 3) + *digits + std::string(kCR));
            L = Remainder{&*converted, 0};
        } else if (!problem.empty()) {
            return base::Status::failure(problem);
        }
    }
    return emitSegments(L, P, notes);
}

base::Result<std::string> rewriteStatusArguments(std::string_view text) {
    std::vector<std::string> notes;
    return rewriteStatusArguments(text, notes);
}

base::Result<std::string> rewriteStatusArguments(std::string_view text,
                                                 std::vector<std::string>& notes) {
    std::size_t loneLineFeeds = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == base::LF && (i == 0 || text[i - 1] != base::CR)) {
            ++loneLineFeeds;
        }
    }
    if (loneLineFeeds > 0) {
        notes.push_back(std::to_string(loneLineFeeds) +
                        (loneLineFeeds == 1 ? " line break is" : " line breaks are") +
                        " LF alone, which does not end a line: the lines around " +
                        (loneLineFeeds == 1 ? "it" : "them") + " are compiled as one");
    }
    std::string rewritten;
    for (const std::string& line : splitMacroLines(text)) {
        base::Result<std::string> one = rewriteLine(line, notes);
        if (!one) {
            return one.status();
        }
        rewritten += *one;
    }
    return rewritten;
}

base::Result<std::string> PrepareStatusArguments(const std::string& dataDir, std::string_view text,
                                                 const std::function<void()>& yieldEvents) {
    std::vector<std::string> notes;
    return PrepareStatusArguments(dataDir, text, notes, yieldEvents);
}

base::Result<std::string> PrepareStatusArguments(const std::string& dataDir, std::string_view text,
                                                 std::vector<std::string>& notes,
                                                 const std::function<void()>& yieldEvents) {
    // The work file only documents the last text that passed; the lines are
    // split from memory, so a folder that cannot be written changes nothing.
    base::skipOnError(base::replaceFile(dataDir + "Macro.Tmp", text));
    if (yieldEvents) {
        yieldEvents();
    }
    return rewriteStatusArguments(text, notes);
}

}  // namespace brindle::macrotext
