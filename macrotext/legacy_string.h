#pragma once
// String operations with the conventions the macro rewrite and the image
// compiler are written in: positions count from 1, a search that finds
// nothing answers 0, and taking a piece never fails. A start before 1 reads
// from the first character, a count below 0 takes nothing, and a piece that
// runs past the end stops at the end.
#include <string>
#include <string_view>

namespace brindle::macrotext {

// The number of characters.
long length(std::string_view text);

// Position of the first occurrence of what in text at or after start; 0 when
// there is none or start lies past the end.
long instr(std::string_view text, std::string_view what, long start = 1);

// The first count characters.
std::string left(std::string_view text, long count);
// The last count characters.
std::string right(std::string_view text, long count);
// count characters from position start.
std::string mid(std::string_view text, long start, long count);
// Everything from position start to the end.
std::string mid(std::string_view text, long start);

}  // namespace brindle::macrotext
