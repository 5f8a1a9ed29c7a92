#include "download/image_compile_line.h"

#include <cstdint>
#include <optional>

#include "base/numeric.h"
#include "base/text.h"
#include "download/image_layout.h"

namespace brindle::download {
namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// Only the first marker found applies; there is no comment state across lines.
std::string withoutComment(std::string_view line) {
    std::string_view kept;
    if (const std::size_t open = line.find("/*"); open != kNotFound) {
        kept = line.substr(0, open);
    } else if (const std::size_t close = line.find("*/"); close != kNotFound) {
        // From the '*' on, without the line's last character.
        kept = line.substr(close, line.size() - close - 1);
    } else if (const std::size_t backOpen = line.find("\\*"); backOpen != kNotFound) {
        return std::string(line.substr(0, backOpen + 1));
    } else if (const std::size_t backClose = line.find("*\\"); backClose != kNotFound) {
        return std::string(line.substr(backClose));
    } else {
        return std::string(line);
    }
    // What is left of a /* or */ line is only kept when it is more than a
    // single character.
    return kept.size() == 1 ? std::string() : std::string(kept);
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
    if (const std::size_t word = line.find("MACRO"); word != kNotFound) {
        const std::size_t number = word + 5;  // just after the word
        std::optional<char> byte = macroNumberByte(std::string_view(line).substr(number), tables);
        if (!byte) {
            return {};
        }
        line = base::trimTrailingBlanks(std::string_view(line).substr(0, number)) + *byte;
        hasNumberByte = true;
    }

    std::string_view beforeNumber(line);
    if (hasNumberByte) {
        beforeNumber.remove_suffix(1);
    }
    if (const std::size_t colon = beforeNumber.find(':'); colon != kNotFound) {
        if (tables.labels.size() >= kMaxLabels) {
            tables.problem = "it has more than " + std::to_string(kMaxLabels) + " labels";
            return {};
        }
        tables.labels.push_back({line.substr(0, colon), tables.lineOffset});
        line.erase(0, colon + 1);
    }

    // "GOTO" with at least two characters after it: the place holder's room.
    if (const std::size_t go = line.find("GOTO"); go != kNotFound && go + 5 < line.size()) {
        if (tables.jumps.size() >= kMaxJumps) {
            tables.problem = "it has more than " + std::to_string(kMaxJumps) + " jumps";
            return {};
        }
        const std::size_t afterWord = go + 4;
        // The place holder's first byte, 1-based in the image.
        const int position = tables.lineOffset + static_cast<int>(afterWord) + 1;
        tables.jumps.push_back(
            {base::trimBlanks(std::string_view(line).substr(afterWord)), position});
        line.resize(afterWord);
        line += jumpPlaceHolder(tables.jumps.size());
    }

    if (!line.empty()) {
        tables.lineOffset += static_cast<int>(line.size()) + 1;
    }
    return line;
}

}  // namespace brindle::download
