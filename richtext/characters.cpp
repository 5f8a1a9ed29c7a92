#include "richtext/characters.h"

#include "richtext/utf8.h"

namespace brindle::richtext {

namespace {

bool isNonCharacter(char32_t c) {
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

}  // namespace

std::optional<char32_t> normaliseCharacter(char32_t character) {
    if (character == '\t') {
        return character;
    }
    if (character < 0x20 || character == 0x7F) {
        return std::nullopt;
    }
    if (character == 0x2028 || character == 0x2029) {
        return U'\n';
    }
    if ((character >= 0xD800 && character <= 0xDFFF) || character > 0x10FFFF ||
        isNonCharacter(character)) {
        return kReplacementCharacter;
    }
    return character;
}

}  // namespace brindle::richtext
