#pragma once
// The single-byte code pages of \'hh escapes and 8-bit text: Windows-1252
// and ISO 8859-1 (Latin-1).
#include <optional>

namespace brindle::richtext {

enum class CodePage { Windows1252, Latin1 };

// The code page of an \ansicpgN number: 28591 is Latin-1; every other
// number, known or not, falls back to Windows-1252.
CodePage codePageFromNumber(int number);

// The character of a byte. The five bytes Windows-1252 leaves undefined
// (81, 8D, 8F, 90, 9D) give the C1 control of the same value, as Windows
// itself converts them.
char32_t decodeByte(CodePage codePage, unsigned char byte);

// The Windows-1252 byte of a character, when it has one.
std::optional<unsigned char> encodeWindows1252(char32_t character);

}  // namespace brindle::richtext
