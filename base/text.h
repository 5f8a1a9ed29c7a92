#pragma once
// Small text helpers shared by every subsystem. Texts hold one byte per
// character (codes 0 to 255); nothing here assumes an encoding.
#include <cstddef>
#include <string>
#include <string_view>

namespace brindle::base {

constexpr char CR = '\r';
constexpr char LF = '\n';

// Cut or blank-fill a name to its field width (12 for macros, 16 for combinations).
std::string fixedWidth(std::string_view text, std::size_t width);

// Without leading and trailing blanks (0x20 only: CR, LF and tabs stay).
std::string trimBlanks(std::string_view text);
std::string trimTrailingBlanks(std::string_view text);

// A folder name that ends in '/', as every file name is built by appending
// to it.
std::string withTrailingSlash(std::string folder);

// Upper case for ASCII a to z; every other byte is kept.
std::string upperAscii(std::string_view text);

// Whether the text holds an ASCII control byte (0x00-0x1F, 0x7F): a line
// break, an escape sequence. No name may hold one.
bool holdsControlByte(std::string_view text);

}  // namespace brindle::base
