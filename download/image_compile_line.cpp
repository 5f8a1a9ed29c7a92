#include "download/image_compile_line.h"

#include <cstdint>
#include <optional>

#include "base/numeric.h"
#include "base/text.h"
#include "download/image_layout.h"
#include "macrotext/legacy_string.h"

namespace brindle::download {
namespace {

using macrotext::instr;
using macrotext::left;
using macrotext::length;
using macrotext::mid;

// Only the first marker found applies; there is no comment state across lines.
std::string withoutComment(std::string line) {
    long p = 0;
    if ((p = instr(line, "/*")) != 0) {
        line = left(line, p - 1);
    } else if ((p = instr(line, "*/")) != 0) {
        line = mid(line, p, length(line) - p);
    } else if ((p = instr(line, "\\*")) != 0) {
        return left(line, p);
    } else if ((p = instr(line, "*\\")) != 0) {
        return mid(line, p);
    } else {
        return line;
    }
    // What is left of a /* or */ line is only kept when it is more than a
    // single character.
    return line.size() == 1 ? std::string() : line;
}

// The byte that stands for the number after "MACRO". Numbers that do not fit
// 16 bits or exceed 255 give 0, with a note; a negative one has no byte.
std::optional<char> macroNumberByte(std::string_view afterWord, CompileTables& tables) {
    const std::string written = base::trimBlanks(afterWord);
    double value = base::numericValue(written);
    std::optional<int16_t> n = base::toInt16(value);
    if (!n || *n > 255) {
        tables.notes.push_back("MACRO number \"" + written +
                               "\" does not fit one byte (at most 255); it is stored as 0");
        return '\0';
    }
    if (*n < 0) {
        tables.problem = "MACRO number " + base::decimalText(*n) + " is below 0";
        return std::nullopt;
    }
    return static_cast<char>(static_cast<unsigned char>(*n));
}

// A jump's place holder: the last two digits of its number, so the 100th is
// "00". Built digit by digit: prepending "0" to a number's text makes g++ 12
// at -O3 report a false overlap (-Wrestrict) inside std::string.
std::string jumpPlaceHolder(std::size_t number) {
    const auto lastTwo = static_cast<int>(number % 100);
    return {static_cast<char>('0' + lastTwo / 10), static_cast<char>('0' + lastTwo % 10)};
}

}  // namespace

std::string CompileLine(std::string_view input, CompileTables& tables) {
    std::string line = withoutComment(base::trimBlanks(input));

    // The number byte of a MACRO statement is data: it may be ':' and must
    // not be taken for a label's colon.
    bool hasNumberByte = false;
    if (long u = instr(line, "MACRO"); u != 0) {
        std::optional<char> byte = macroNumberByte(mid(line, u + 5), tables);
        if (!byte) {
            return {};
        }
        line = base::trimTrailingBlanks(left(line, u + 4)) + *byte;
        hasNumberByte = true;
    }

    std::string_view beforeNumber(line);
    if (hasNumberByte) {
        beforeNumber.remove_suffix(1);
    }
    if (long v = instr(beforeNumber, ":"); v != 0) {
        if (tables.labels.size() >= kMaxLabels) {
            tables.problem = "it has more than " + std::to_string(kMaxLabels) + " labels";
            return {};
        }
        tables.labels.push_back({left(line, v - 1), tables.lineOffset});
        line = mid(line, v + 1);
    }

    if (long g = instr(line, "GOTO"); g > 0 && g + 4 < length(line)) {
        if (tables.jumps.size() >= kMaxJumps) {
            tables.problem = "it has more than " + std::to_string(kMaxJumps) + " jumps";
            return {};
        }
        tables.jumps.push_back(
            {base::trimBlanks(mid(line, g + 4)), tables.lineOffset + static_cast<int>(g) + 4});
        line = left(line, g + 3);
        line += jumpPlaceHolder(tables.jumps.size());
    }

    if (!line.empty()) {
        tables.lineOffset += static_cast<int>(line.size()) + 1;
    }
    return line;
}

}  // namespace brindle::download
