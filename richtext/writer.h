#pragma once
// Writes a document as RTF that readRtf reads back to the same document
// (for documents in the canonical form described in document.h).
#include <string>

#include "richtext/document.h"

namespace brindle::richtext {

// RTF 1 in Windows-1252 (\ansi\ansicpg1252\deff0\uc1): the font table with
// the fonts numbered by their index, the colour table behind its automatic
// entry, then per paragraph "\pard", its alignment, its runs and "\par".
// Runs carry only the format words that change from the run before. A
// character above 127 is written as \'hh when Windows-1252 has it, else as
// \uN? (UTF-16, N signed); tabs and line breaks as \tab and \line; other
// control characters are left out. A font or colour index outside its table
// is written as 0.
std::string writeRtf(const Document& document);

}  // namespace brindle::richtext
