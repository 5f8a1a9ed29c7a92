#include "richtext/control_words.h"

#include <algorithm>
#include <array>

namespace brindle::richtext {

namespace {

struct Entry {
    std::string_view name;
    WordMeaning meaning;
};

constexpr Entry skip(std::string_view name) {
    return {name, {Word::SkippedDestination, 0}};
}

constexpr Entry word(std::string_view name, Word meaning) {
    return {name, {meaning, 0}};
}

constexpr Entry character(std::string_view name, char32_t value) {
    return {name, {Word::Character, value}};
}

// Sorted by name. The skipped destinations are the ones older than the \*
// convention, which marks every newer destination.
constexpr std::array kWords = {
    skip("annotation"),
    word("ansicpg", Word::AnsiCodePage),
    skip("atnauthor"),
    skip("atndate"),
    skip("atnicn"),
    skip("atnid"),
    skip("atnparent"),
    skip("atnref"),
    skip("atntime"),
    skip("atrfend"),
    skip("atrfstart"),
    skip("author"),
    word("b", Word::Bold),
    skip("background"),
    skip("bkmkend"),
    skip("bkmkstart"),
    word("blue", Word::Blue),
    character("bullet", 0x2022),
    skip("buptim"),
    skip("category"),
    word("cell", Word::Cell),
    word("cf", Word::Colour),
    word("colortbl", Word::ColourTable),
    word("column", Word::Paragraph),
    skip("comment"),
    skip("company"),
    skip("creatim"),
    word("deff", Word::DefaultFont),
    skip("do"),
    skip("doccomm"),
    skip("docvar"),
    character("emdash", 0x2014),
    character("emspace", 0x2003),
    character("endash", 0x2013),
    character("enspace", 0x2002),
    word("f", Word::Font),
    word("fbidi", Word::FontFamilyBidi),
    word("fcharset", Word::FontCharset),
    word("fdecor", Word::FontFamilyDecor),
    skip("fldinst"),
    word("fmodern", Word::FontFamilyModern),
    word("fnil", Word::FontFamilyNil),
    word("fonttbl", Word::FontTable),
    skip("footer"),
    skip("footerf"),
    skip("footerl"),
    skip("footerr"),
    skip("footnote"),
    word("froman", Word::FontFamilyRoman),
    word("fs", Word::FontSize),
    word("fscript", Word::FontFamilyScript),
    word("fswiss", Word::FontFamilySwiss),
    word("ftech", Word::FontFamilyTech),
    skip("ftncn"),
    skip("ftnsep"),
    skip("ftnsepc"),
    word("green", Word::Green),
    skip("header"),
    skip("headerf"),
    skip("headerl"),
    skip("headerr"),
    word("i", Word::Italic),
    skip("info"),
    skip("keywords"),
    character("ldblquote", 0x201C),
    word("line", Word::Line),
    skip("listoverridetable"),
    skip("listtable"),
    character("lquote", 0x2018),
    character("ltrmark", 0x200E),
    skip("manager"),
    word("nestcell", Word::Cell),
    skip("nonshppict"),
    skip("object"),
    skip("operator"),
    word("page", Word::Paragraph),
    word("par", Word::Paragraph),
    word("pard", Word::ParagraphDefaults),
    skip("pict"),
    word("plain", Word::Plain),
    skip("pn"),
    skip("printim"),
    skip("private"),
    word("qc", Word::AlignCentre),
    word("qj", Word::AlignJustify),
    word("ql", Word::AlignLeft),
    character("qmspace", 0x2005),
    word("qr", Word::AlignRight),
    character("rdblquote", 0x201D),
    word("red", Word::Red),
    skip("revtbl"),
    skip("revtim"),
    word("row", Word::Row),
    character("rquote", 0x2019),
    character("rtlmark", 0x200F),
    skip("rxe"),
    word("sect", Word::Paragraph),
    skip("shp"),
    skip("shpinst"),
    word("softline", Word::Line),
    skip("stylesheet"),
    skip("subject"),
    word("tab", Word::Tab),
    skip("tc"),
    skip("template"),
    skip("title"),
    skip("txe"),
    word("u", Word::Unicode),
    word("uc", Word::UnicodeSkip),
    word("ul", Word::Underline),
    word("uld", Word::Underline),
    word("uldash", Word::Underline),
    word("uldashd", Word::Underline),
    word("uldashdd", Word::Underline),
    word("uldb", Word::Underline),
    word("ulhair", Word::Underline),
    word("ulhwave", Word::Underline),
    word("ulldash", Word::Underline),
    word("ulnone", Word::UnderlineNone),
    word("ulth", Word::Underline),
    word("ulthd", Word::Underline),
    word("ulthdash", Word::Underline),
    word("ulthdashd", Word::Underline),
    word("ulthdashdd", Word::Underline),
    word("ulthldash", Word::Underline),
    word("ululdbwave", Word::Underline),
    word("ulw", Word::Underline),
    word("ulwave", Word::Underline),
    word("v", Word::Hidden),
    skip("xe"),
    character("zwbo", 0x200B),
    character("zwj", 0x200D),
    character("zwnj", 0x200C),
};

constexpr bool byName(const Entry& left, const Entry& right) {
    return left.name < right.name;
}

static_assert(std::is_sorted(kWords.begin(), kWords.end(), byName));

}  // namespace

WordMeaning findWord(std::string_view name) {
    const Entry probe{name, {}};
    const auto found = std::lower_bound(kWords.begin(), kWords.end(), probe, byName);
    if (found == kWords.end() || found->name != name) {
        return {};
    }
    return found->meaning;
}

}  // namespace brindle::richtext
