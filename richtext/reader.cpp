#include "richtext/reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "richtext/body_text.h"
#include "richtext/characters.h"
#include "richtext/codepage.h"
#include "richtext/control_words.h"
#include "richtext/tables.h"
#include "richtext/tokenizer.h"
#include "richtext/utf8.h"

namespace brindle::richtext {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kRtfStart = "{\\rtf";
// \fN before any \deff: the default font.
constexpr int kDefaultFontNumber = -1;

enum class Destination { Body, FontTable, ColourTable };

struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    int fontSize = kDefaultFontSize;
    int fontNumber = kDefaultFontNumber;
    int colourNumber = 0;
    Alignment alignment = Alignment::Left;
    int unicodeSkip = 1;
    Destination destination = Destination::Body;
};

std::size_t rtfStart(std::string_view input) {
    std::size_t at = input.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    at = input.find_first_not_of(" \t\r\n", at);
    if (at == std::string_view::npos || input.substr(at, kRtfStart.size()) != kRtfStart) {
        return std::string_view::npos;
    }
    return at;
}

bool isOn(const Token& token) {
    return !token.hasParameter || token.parameter != 0;
}

class Reader {
  public:
    explicit Reader(std::string_view input)
        : m_tokens(input),
          m_fonts(m_document.fonts),
          m_colours(m_document.colours),
          m_body(m_document.paragraphs) {}

    Document read();

  private:
    void groupStart();
    void groupEnd(bool skipped);
    void controlWord(const Token& token);
    void controlSymbol(unsigned char symbol);
    void destinationWord(const Token& token, const WordMeaning& meaning);
    void formatWord(const Token& token, Word word);
    void text(std::string_view bytes);
    void byte(unsigned char value);
    void flushBytes();
    CodePage& page(int number);
    int textCodePage() const;
    void unicode(int parameter);
    void character(char32_t value);
    void flushSurrogate();
    void endParagraph();
    bool takesFallback();
    Format format() const;

    Tokenizer m_tokens;
    Document m_document;
    FontTableReader m_fonts;
    ColourTableReader m_colours;
    BodyText m_body;
    int m_ansiCodePage = kDefaultCodePage;
    std::map<int, CodePage*> m_pages;
    // The page holding the first bytes of a character not yet complete.
    CodePage* m_pendingPage = nullptr;
    int m_defaultFont = 0;

    GroupState m_state;
    std::vector<GroupState> m_saved;
    // Groups beyond kMaxGroupDepth: how many are open, and the state when
    // the first of them opened.
    std::size_t m_overflowDepth = 0;
    GroupState m_overflowState;
    // Inside a skipped destination: its braces still open, 0 when not skipping.
    std::size_t m_skipDepth = 0;
    bool m_ended = false;

    int m_fallbackLeft = 0;
    char32_t m_highSurrogate = 0;
};

Document Reader::read() {
    while (!m_ended) {
        const Token token = m_tokens.next();
        if (token.kind == TokenKind::End) {
            break;
        }
        if (m_skipDepth > 0) {
            if (token.kind == TokenKind::GroupStart) {
                ++m_skipDepth;
            } else if (token.kind == TokenKind::GroupEnd && --m_skipDepth == 0) {
                groupEnd(true);
            }
            continue;
        }
        if (token.kind != TokenKind::HexByte && token.kind != TokenKind::Text) {
            flushBytes();
        }
        switch (token.kind) {
            case TokenKind::GroupStart:
                groupStart();
                break;
            case TokenKind::GroupEnd:
                groupEnd(false);
                break;
            case TokenKind::ControlWord:
                controlWord(token);
                break;
            case TokenKind::ControlSymbol:
                controlSymbol(token.symbol);
                break;
            case TokenKind::HexByte:
                if (!takesFallback()) {
                    byte(token.symbol);
                }
                break;
            case TokenKind::Text:
                text(token.text);
                break;
            case TokenKind::Binary:
                takesFallback();
                break;
            case TokenKind::End:
                break;
        }
    }
    flushBytes();
    flushSurrogate();
    m_body.finish(m_state.alignment);
    return std::move(m_document);
}

void Reader::groupStart() {
    m_fallbackLeft = 0;
    flushSurrogate();
    if (m_saved.size() >= static_cast<std::size_t>(kMaxGroupDepth)) {
        if (m_overflowDepth++ == 0) {
            m_overflowState = m_state;
        }
        return;
    }
    m_saved.push_back(m_state);
}

// A skipped group (such as \panose inside a font entry) ends no table entry.
void Reader::groupEnd(bool skipped) {
    m_fallbackLeft = 0;
    flushSurrogate();
    if (!skipped && m_state.destination == Destination::FontTable) {
        m_fonts.finishEntry();
    } else if (!skipped && m_state.destination == Destination::ColourTable) {
        m_colours.finishTable();
    }
    if (m_overflowDepth > 0) {
        if (--m_overflowDepth == 0) {
            m_state = m_overflowState;
        }
        return;
    }
    if (m_saved.size() <= 1) {
        // The group that opened the document: the document ends here.
        m_body.finish(m_state.alignment);
        m_ended = true;
        return;
    }
    m_state = m_saved.back();
    m_saved.pop_back();
}

// A token that stands in for the character of the \uN before it is dropped.
bool Reader::takesFallback() {
    if (m_fallbackLeft == 0) {
        return false;
    }
    --m_fallbackLeft;
    return true;
}

void Reader::controlSymbol(unsigned char symbol) {
    if (takesFallback()) {
        return;
    }
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            character(symbol);
            break;
        case '~':
            character(0x00A0);
            break;
        case '-':
            character(0x00AD);
            break;
        case '_':
            character(0x2011);
            break;
        case '*':
            // Only within the document's group: the document itself is never skipped.
            if (m_saved.size() > 1 || m_overflowDepth > 0) {
                m_skipDepth = 1;
            }
            break;
        case '\r':
        case '\n':
            if (m_state.destination == Destination::Body) {
                endParagraph();
            }
            break;
        default:
            break;
    }
}

void Reader::controlWord(const Token& token) {
    if (takesFallback()) {
        return;
    }
    const WordMeaning meaning = findWord(token.word);
    const int parameter = token.hasParameter ? token.parameter : 0;
    switch (meaning.word) {
        case Word::AnsiCodePage:
            m_ansiCodePage = page(parameter).number();
            m_document.codePage = m_ansiCodePage;
            break;
        case Word::DefaultFont:
            m_defaultFont = parameter;
            break;
        case Word::UnicodeSkip:
            m_state.unicodeSkip = token.hasParameter ? std::max(0, parameter) : 1;
            break;
        case Word::Unicode:
            if (token.hasParameter) {
                unicode(parameter);
            }
            break;
        case Word::Character:
            character(meaning.character);
            break;
        case Word::FontTable:
        case Word::ColourTable:
        case Word::SkippedDestination:
        case Word::FontFamilyNil:
        case Word::FontFamilyRoman:
        case Word::FontFamilySwiss:
        case Word::FontFamilyModern:
        case Word::FontFamilyScript:
        case Word::FontFamilyDecor:
        case Word::FontFamilyTech:
        case Word::FontFamilyBidi:
        case Word::FontCharset:
        case Word::Red:
        case Word::Green:
        case Word::Blue:
            destinationWord(token, meaning);
            break;
        default:
            formatWord(token, meaning.word);
            break;
    }
}

void Reader::destinationWord(const Token& token, const WordMeaning& meaning) {
    const int parameter = token.hasParameter ? token.parameter : 0;
    const bool inDocumentGroup = m_saved.size() <= 1 && m_overflowDepth == 0;
    switch (meaning.word) {
        case Word::FontTable:
            if (!inDocumentGroup) {
                m_state.destination = Destination::FontTable;
            }
            break;
        case Word::ColourTable:
            if (!inDocumentGroup) {
                m_state.destination = Destination::ColourTable;
            }
            break;
        case Word::SkippedDestination:
            if (!inDocumentGroup) {
                m_skipDepth = 1;
            }
            break;
        case Word::Red:
        case Word::Green:
        case Word::Blue:
            if (m_state.destination == Destination::ColourTable) {
                if (meaning.word == Word::Red) {
                    m_colours.setRed(parameter);
                } else if (meaning.word == Word::Green) {
                    m_colours.setGreen(parameter);
                } else {
                    m_colours.setBlue(parameter);
                }
            }
            break;
        case Word::FontCharset:
            if (m_state.destination == Destination::FontTable) {
                m_fonts.setCharset(parameter);
            }
            break;
        default:
            if (m_state.destination == Destination::FontTable) {
                const auto offset =
                    static_cast<int>(meaning.word) - static_cast<int>(Word::FontFamilyNil);
                m_fonts.setFamily(static_cast<FontFamily>(offset));
            }
            break;
    }
}

void Reader::formatWord(const Token& token, Word word) {
    const int parameter = token.hasParameter ? token.parameter : 0;
    const bool body = m_state.destination == Destination::Body;
    switch (word) {
        case Word::Paragraph:
            if (body) {
                endParagraph();
            }
            break;
        case Word::ParagraphDefaults:
        case Word::AlignLeft:
            m_state.alignment = Alignment::Left;
            break;
        case Word::AlignCentre:
            m_state.alignment = Alignment::Centre;
            break;
        case Word::AlignRight:
            m_state.alignment = Alignment::Right;
            break;
        case Word::AlignJustify:
            m_state.alignment = Alignment::Justify;
            break;
        case Word::Plain:
            m_state.bold = m_state.italic = m_state.underline = m_state.hidden = false;
            m_state.fontSize = kDefaultFontSize;
            m_state.fontNumber = kDefaultFontNumber;
            m_state.colourNumber = 0;
            break;
        case Word::Bold:
            m_state.bold = isOn(token);
            break;
        case Word::Italic:
            m_state.italic = isOn(token);
            break;
        case Word::Underline:
            m_state.underline = isOn(token);
            break;
        case Word::UnderlineNone:
            m_state.underline = false;
            break;
        case Word::Hidden:
            m_state.hidden = isOn(token);
            break;
        case Word::FontSize:
            m_state.fontSize = parameter > 0 ? std::min(parameter, kMaxFontSize) : kDefaultFontSize;
            break;
        case Word::Font:
            if (m_state.destination == Destination::FontTable) {
                m_fonts.setNumber(parameter);
            } else {
                m_state.fontNumber = parameter;
            }
            break;
        case Word::Colour:
            m_state.colourNumber = parameter;
            break;
        case Word::Line:
            if (body) {
                flushSurrogate();
                m_body.append(format(), "\n");
            }
            break;
        case Word::Tab:
            if (body) {
                flushSurrogate();
                m_body.append(format(), "\t");
            }
            break;
        case Word::Cell:
            if (body) {
                flushSurrogate();
                m_body.endCell();
            }
            break;
        case Word::Row:
            if (body) {
                endParagraph();
            }
            break;
        default:
            break;
    }
}

void Reader::text(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            continue;
        }
        if (takesFallback()) {
            continue;
        }
        if (c == ';' && m_state.destination == Destination::FontTable) {
            flushSurrogate();
            m_fonts.finishEntry();
        } else if (c == ';' && m_state.destination == Destination::ColourTable) {
            m_colours.finishEntry();
        } else {
            byte(static_cast<unsigned char>(c));
        }
    }
}

// A byte of text in the code page of the current font (or the document's).
void Reader::byte(unsigned char value) {
    CodePage& codePage = page(textCodePage());
    if (m_pendingPage != nullptr && m_pendingPage != &codePage) {
        flushBytes();
    }
    m_pendingPage = &codePage;
    if (const std::optional<char32_t> decoded = codePage.decode(value)) {
        m_pendingPage = nullptr;
        character(*decoded);
    }
}

// A character whose bytes were cut short by anything but a byte.
void Reader::flushBytes() {
    if (m_pendingPage == nullptr) {
        return;
    }
    CodePage* pending = m_pendingPage;
    m_pendingPage = nullptr;
    if (const std::optional<char32_t> cut = pending->flush()) {
        character(*cut);
    }
}

CodePage& Reader::page(int number) {
    CodePage*& found = m_pages[number];
    if (found == nullptr) {
        found = &sharedCodePage(number);
        // Nothing held over from an earlier document.
        static_cast<void>(found->flush());
    }
    return *found;
}

int Reader::textCodePage() const {
    if (m_state.destination != Destination::Body) {
        return m_ansiCodePage;
    }
    const int font = format().font;
    if (font < 0 || static_cast<std::size_t>(font) >= m_document.fonts.size()) {
        return m_ansiCodePage;
    }
    return codePageOfCharset(m_document.fonts[static_cast<std::size_t>(font)].charset,
                             m_ansiCodePage);
}

void Reader::unicode(int parameter) {
    // Signed 16-bit values stand for the upper half of the BMP.
    const std::int64_t value = parameter < 0 ? std::int64_t{parameter} + 0x10000 : parameter;
    character(value < 0 || value > 0x10FFFF ? kReplacementCharacter : static_cast<char32_t>(value));
    m_fallbackLeft = m_state.unicodeSkip;
}

void Reader::character(char32_t value) {
    if (value >= 0xD800 && value <= 0xDBFF) {
        flushSurrogate();
        m_highSurrogate = value;
        return;
    }
    if (value >= 0xDC00 && value <= 0xDFFF && m_highSurrogate != 0) {
        value = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (value - 0xDC00);
        m_highSurrogate = 0;
    }
    flushSurrogate();
    const std::optional<char32_t> kept = normaliseCharacter(value);
    if (!kept) {
        return;
    }
    if (m_state.destination == Destination::FontTable) {
        if (*kept >= 0x20) {
            m_fonts.appendName(*kept);
        }
    } else if (m_state.destination == Destination::Body) {
        std::string utf8;
        appendUtf8(utf8, *kept);
        m_body.append(format(), utf8);
    }
}

// A high surrogate not followed by its low half stands alone: U+FFFD.
void Reader::flushSurrogate() {
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        character(kReplacementCharacter);
    }
}

void Reader::endParagraph() {
    flushSurrogate();
    m_body.endParagraph(m_state.alignment);
}

Format Reader::format() const {
    Format result;
    result.bold = m_state.bold;
    result.italic = m_state.italic;
    result.underline = m_state.underline;
    result.hidden = m_state.hidden;
    result.fontSize = m_state.fontSize;
    const int number =
        m_state.fontNumber == kDefaultFontNumber ? m_defaultFont : m_state.fontNumber;
    result.font = m_fonts.indexOf(number, m_defaultFont);
    result.colour = m_colours.indexOf(m_state.colourNumber);
    return result;
}

}  // namespace

bool looksLikeRtf(std::string_view input) {
    return rtfStart(input) != std::string_view::npos;
}

Document readRtf(std::string_view input) {
    const std::size_t start = rtfStart(input);
    if (start == std::string_view::npos) {
        return readPlainText(input);
    }
    return Reader(input.substr(start)).read();
}

}  // namespace brindle::richtext
