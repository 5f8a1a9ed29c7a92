#pragma once
// The rich-text document model: paragraphs of runs, each run one stretch of
// text in one character format, plus the font and colour tables the formats
// point into. Plain data, compared member by member.
//
// Canonical form (what the reader always produces, and what round trips):
// no run has empty text, no two neighbouring runs share a format, text is
// valid UTF-8 whose only control characters are '\t' (a tab) and '\n' (a
// line break inside the paragraph), a run's font is an index into `fonts`
// (or 0 when the table is empty) and its colour is 0 or 1..colours.size().
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/codepage.h"

namespace brindle::richtext {

enum class Alignment { Left, Centre, Right, Justify };

// The font families of the font table (\fnil, \froman, ...).
enum class FontFamily { Nil, Roman, Swiss, Modern, Script, Decor, Tech, Bidi };

struct Font {
    std::string name;  // UTF-8, without the terminating ';'
    FontFamily family = FontFamily::Nil;
    // \fcharsetN: the character set of the font's text, or kNoCharset.
    int charset = kNoCharset;
    bool operator==(const Font&) const = default;
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

// The font size when nothing sets one, in half-points (12 pt).
constexpr int kDefaultFontSize = 24;

struct Format {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int fontSize = kDefaultFontSize;  // half-points, 1..kMaxFontSize
    int font = 0;                     // index into Document::fonts
    int colour = 0;                   // 0: automatic; n: Document::colours[n - 1]
    bool hidden = false;              // \v: kept in the document, never shown
    bool operator==(const Format&) const = default;
};

// The largest font size kept, in half-points (1638 pt, as word processors allow).
constexpr int kMaxFontSize = 3276;

struct Run {
    std::string text;  // UTF-8; '\t' is a tab, '\n' a line break
    Format format;
    bool operator==(const Run&) const = default;
};

struct Paragraph {
    Alignment alignment = Alignment::Left;
    std::vector<Run> runs;
    bool operator==(const Paragraph&) const = default;
};

struct Document {
    // \ansicpgN: the code page of text in fonts without a character set of
    // their own (one the C library knows; 1252 in place of any other).
    int codePage = kDefaultCodePage;
    std::vector<Font> fonts;
    std::vector<Colour> colours;  // the colour table without its automatic entry
    std::vector<Paragraph> paragraphs;
    bool operator==(const Document&) const = default;
};

// Adds text in format to the end of paragraph, extending the last run when
// it has the same format, so that the paragraph stays canonical.
void appendText(Paragraph& paragraph, const Format& format, std::string_view text);

// The text of a paragraph without its formats.
std::string plainText(const Paragraph& paragraph);

// The colour a format shows, or nullptr for the automatic colour (also for
// an index outside the table).
const Colour* colourOf(const Document& document, const Format& format);

}  // namespace brindle::richtext
