#pragma once
// What the reader does with each control word it knows; every other word
// is ignored (and a group that starts with \* is skipped).
#include <string_view>

namespace brindle::richtext {

enum class Word {
    Unknown,
    // Document
    AnsiCodePage,
    DefaultFont,
    UnicodeSkip,
    Unicode,
    // Destinations
    FontTable,
    ColourTable,
    SkippedDestination,  // a destination whose content is never text
    // Font and colour tables
    FontFamilyNil,
    FontFamilyRoman,
    FontFamilySwiss,
    FontFamilyModern,
    FontFamilyScript,
    FontFamilyDecor,
    FontFamilyTech,
    FontFamilyBidi,
    FontCharset,
    Red,
    Green,
    Blue,
    // Paragraphs
    Paragraph,
    ParagraphDefaults,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustify,
    // Characters
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    FontSize,
    Font,
    Colour,
    Hidden,
    // Text
    Line,
    Tab,
    Character,  // a word standing for one character
    // Tables
    Cell,
    Row,
};

struct WordMeaning {
    Word word = Word::Unknown;
    char32_t character = 0;  // for Word::Character
};

WordMeaning findWord(std::string_view name);

}  // namespace brindle::richtext
