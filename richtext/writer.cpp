#include "richtext/writer.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "richtext/codepage.h"
#include "richtext/utf8.h"

namespace brindle::richtext {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

constexpr std::array<std::string_view, 8> kFamilyWords = {
    "\\fnil", "\\froman", "\\fswiss", "\\fmodern", "\\fscript", "\\fdecor", "\\ftech", "\\fbidi"};

void appendHexByte(std::string& out, unsigned char byte) {
    out += "\\'";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

void appendUnicode(std::string& out, int value) {
    // RTF parameters are signed 16-bit: the upper half of the BMP goes negative.
    out += "\\u";
    out += std::to_string(value > 0x7FFF ? value - 0x10000 : value);
    out += '?';
}

// The code page text in a font is written in.
CodePage& codePageOfFont(const Document& document, int font, int ansiCodePage) {
    int number = ansiCodePage;
    if (font >= 0 && static_cast<std::size_t>(font) < document.fonts.size()) {
        number =
            codePageOfCharset(document.fonts[static_cast<std::size_t>(font)].charset, ansiCodePage);
    }
    return sharedCodePage(number);
}

// One character of text. Control words end with a space so that the next
// character cannot run into them.
void appendCharacter(std::string& out, char32_t c, CodePage& codePage, bool inFontName) {
    if (c == '\t' || c == '\n') {
        if (!inFontName) {
            out += c == '\t' ? "\\tab " : "\\line ";
        }
        return;
    }
    if (c < 0x20 || c == 0x7F) {
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        out += '\\';
        out += static_cast<char>(c);
        return;
    }
    if (c == ';' && inFontName) {
        appendHexByte(out, ';');
        return;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    if (const std::optional<std::string> bytes = codePage.encode(c)) {
        for (const char byte : *bytes) {
            appendHexByte(out, static_cast<unsigned char>(byte));
        }
        return;
    }
    if (c > 0xFFFF) {
        const char32_t offset = c - 0x10000;
        appendUnicode(out, static_cast<int>(0xD800 + (offset >> 10)));
        appendUnicode(out, static_cast<int>(0xDC00 + (offset & 0x3FF)));
        return;
    }
    appendUnicode(out, static_cast<int>(c));
}

void appendText(std::string& out, std::string_view utf8, CodePage& codePage, bool inFontName) {
    std::size_t at = 0;
    while (at < utf8.size()) {
        const DecodedCodePoint decoded = decodeUtf8(utf8, at);
        appendCharacter(out, decoded.codePoint, codePage, inFontName);
        at += decoded.length;
    }
}

void appendWord(std::string& out, std::string_view word, int parameter) {
    out += word;
    out += std::to_string(parameter);
}

void writeFontTable(std::string& out, const std::vector<Font>& fonts, CodePage& codePage) {
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{";
        appendWord(out, "\\f", static_cast<int>(i));
        const auto family = static_cast<std::size_t>(fonts[i].family);
        out += kFamilyWords[std::min(family, kFamilyWords.size() - 1)];
        if (fonts[i].charset != kNoCharset) {
            appendWord(out, "\\fcharset", fonts[i].charset);
        }
        out += ' ';
        appendText(out, fonts[i].name, codePage, true);
        out += ";}";
    }
    out += "}\n";
}

void writeColourTable(std::string& out, const std::vector<Colour>& colours) {
    out += "{\\colortbl;";
    for (const Colour& colour : colours) {
        appendWord(out, "\\red", colour.red);
        appendWord(out, "\\green", colour.green);
        appendWord(out, "\\blue", colour.blue);
        out += ';';
    }
    out += "}\n";
}

std::string_view alignmentWord(Alignment alignment) {
    switch (alignment) {
        case Alignment::Centre:
            return "\\qc";
        case Alignment::Right:
            return "\\qr";
        case Alignment::Justify:
            return "\\qj";
        case Alignment::Left:
            break;
    }
    return "";
}

// The format as written: indexes outside their tables become 0.
Format writtenFormat(const Document& document, Format format) {
    if (format.font < 0 || static_cast<std::size_t>(format.font) >= document.fonts.size()) {
        format.font = 0;
    }
    if (format.colour < 0 || static_cast<std::size_t>(format.colour) > document.colours.size()) {
        format.colour = 0;
    }
    format.fontSize = std::clamp(format.fontSize, 1, kMaxFontSize);
    return format;
}

// The words that change format from into to. Returns whether it wrote any.
bool writeFormatChange(std::string& out, const Format& from, const Format& to) {
    const std::size_t before = out.size();
    if (from.bold != to.bold) {
        out += to.bold ? "\\b" : "\\b0";
    }
    if (from.italic != to.italic) {
        out += to.italic ? "\\i" : "\\i0";
    }
    if (from.underline != to.underline) {
        out += to.underline ? "\\ul" : "\\ulnone";
    }
    if (from.hidden != to.hidden) {
        out += to.hidden ? "\\v" : "\\v0";
    }
    if (from.font != to.font) {
        appendWord(out, "\\f", to.font);
    }
    if (from.fontSize != to.fontSize) {
        appendWord(out, "\\fs", to.fontSize);
    }
    if (from.colour != to.colour) {
        appendWord(out, "\\cf", to.colour);
    }
    return out.size() != before;
}

}  // namespace

std::string writeRtf(const Document& document) {
    // A code page the C library does not know is written as the 1252 it is read as.
    const int ansiCodePage = sharedCodePage(document.codePage).number();
    std::string out = "{\\rtf1\\ansi\\ansicpg" + std::to_string(ansiCodePage) + "\\deff0\\uc1\n";
    writeFontTable(out, document.fonts, sharedCodePage(ansiCodePage));
    writeColourTable(out, document.colours);
    // The state of the reader after the header: \plain.
    Format current;
    for (const Paragraph& paragraph : document.paragraphs) {
        out += "\\pard";
        out += alignmentWord(paragraph.alignment);
        bool needsDelimiter = true;
        for (const Run& run : paragraph.runs) {
            if (run.text.empty()) {
                continue;
            }
            const Format format = writtenFormat(document, run.format);
            if (writeFormatChange(out, current, format)) {
                needsDelimiter = true;
            }
            current = format;
            if (needsDelimiter) {
                out += ' ';
                needsDelimiter = false;
            }
            appendText(out, run.text, codePageOfFont(document, format.font, ansiCodePage), false);
        }
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

}  // namespace brindle::richtext
