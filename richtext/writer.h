#pragma once
// Writes a document as RTF that readRtf reads back to the same document
// (for documents in the canonical form described in document.h).
#include <string>

#include "richtext/document.h"

namespace brindle::richtext {

// RTF 1 in the document's code page (\ansi\ansicpgN\deff0\uc1): the font
// table with the fonts numbered by their index and their \fcharset, the
// colour table behind its automatic entry, then per paragraph "\pard", its
// alignment, its runs and "\par". Runs carry only the format words that
// change from the run before (hidden text is \v .. \v0). A character above
// 127 is written as \'hh bytes of the code page of its font's character set
// (or of the document's) when that page has it, else as \uN? (UTF-16, N
// signed); tabs and line breaks as \tab and \line; other control characters
// are left out. A font or colour index outside its table is written as 0.
std::string writeRtf(const Document& document);

}  // namespace brindle::richtext
