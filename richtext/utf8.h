#pragma once
// UTF-8 encoding and strict decoding of single code points.
#include <cstddef>
#include <string>
#include <string_view>

namespace brindle::richtext {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of codePoint; a surrogate or a value beyond
// U+10FFFF appends U+FFFD instead.
void appendUtf8(std::string& out, char32_t codePoint);

struct DecodedCodePoint {
    char32_t codePoint = 0;
    std::size_t length = 0;  // bytes used, at least 1 unless at the end
};

// The code point starting at text[at]. A byte that does not start a
// well-formed sequence (overlong, surrogate, beyond U+10FFFF, cut short)
// gives U+FFFD with length 1, so decoding always moves on.
DecodedCodePoint decodeUtf8(std::string_view text, std::size_t at);

bool isValidUtf8(std::string_view text);

}  // namespace brindle::richtext
