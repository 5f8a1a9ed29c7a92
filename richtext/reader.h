#pragma once
// Reads RTF into the document model, best effort: no input makes it fail,
// crash, loop or grow without bound. The subset understood:
//
// - Groups {} save and restore the character format, the alignment and \uc.
//   Groups nested deeper than kMaxGroupDepth are still read, but share the
//   format state of the deepest level, which is restored when they all end.
// - Control words take an optional signed parameter (saturated to int) and
//   swallow one delimiting space. Unknown words are ignored.
// - Control symbols: \\ \{ \} as those characters, \~ (no-break space),
//   \- (soft hyphen), \_ (non-breaking hyphen), \* (skips its group), a
//   backslash before a line end (a paragraph end); other symbols are ignored.
// - \'hh decodes through the code page of the current font's \fcharsetN, or
//   else of \ansicpgN (default 1252), converted by the C library's iconv; a
//   page it does not know reads as 1252. Bytes above 127 outside escapes
//   decode the same way; the bytes of a double-byte character may come as
//   two escapes. A byte the page does not define, or a character cut short
//   by anything but its next byte, gives U+FFFD. A cut-short \'h gives
//   nothing.
// - \uN gives U+N (N < 0 means N + 65536; N above U+10FFFF gives U+FFFD),
//   then skips the \ucN fallback characters (default 1) that follow; a brace
//   ends the skipping. A UTF-16 surrogate pair of two \u words gives one
//   character; a lone surrogate gives U+FFFD.
// - \fonttbl (\fN numbers, \fnil..\fbidi families, \fcharsetN, names up to ';'; nested
//   \* groups such as \panose skipped), \colortbl (\red \green \blue; an
//   entry without them is the automatic colour), \deffN.
// - \par \sect \page \column (paragraph ends; a page or column break
//   separates paragraphs as a paragraph end does), \pard (left alignment), \ql \qc \qr \qj;
//   a paragraph takes the alignment in effect at its end.
// - \plain \b \i \ul (and its styled variants) \ulnone \v \fs \f \cf; a
//   parameter of 0 switches \b \i \ul \v off (\v: hidden text, kept); \fs is clamped
//   to 1..kMaxFontSize.
// - \line \softline (line break '\n'), \tab ('\t'), \emdash \endash \bullet
//   \lquote \rquote \ldblquote \rdblquote \enspace \emspace \qmspace \zwj
//   \zwnj \zwbo \ltrmark \rtlmark as their characters.
// - Tables: \cell and \nestcell separate cells with a tab, \row ends the
//   row's paragraph; the row and cell definitions are ignored.
// - Destinations skipped whole: every group marked \*, and the classic ones
//   such as \info, \stylesheet, \pict, \object, \header, \footer, \footnote,
//   \fldinst, \pn. Field results and \pntext / \listtext stay as text.
// - \binN skips N bytes (at most to the end of the input).
// - Text is normalised: CR and LF in the RTF are ignored, other control
//   characters are dropped, U+2028 and U+2029 become line breaks, non-
//   characters become U+FFFD. Reading ends with the group that opened the
//   document; a truncated document keeps what was read.
#include <string_view>

#include "richtext/document.h"

namespace brindle::richtext {

constexpr int kMaxGroupDepth = 1000;

// True when input, after an optional UTF-8 byte order mark and white space,
// begins with "{\rtf".
bool looksLikeRtf(std::string_view input);

// The document of RTF input. Input that does not look like RTF is read as
// plain text instead (see readPlainText).
Document readRtf(std::string_view input);

// Plain text as a document: one left-aligned paragraph per line (CR LF, LF
// or CR end a line; a line end at the very end adds no empty paragraph),
// tabs kept, other control characters dropped, the default format, no font
// or colour table. Valid UTF-8 is taken as such, anything else as
// Windows-1252.
Document readPlainText(std::string_view input);

}  // namespace brindle::richtext
