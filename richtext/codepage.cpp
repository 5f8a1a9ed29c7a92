#include "richtext/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <map>

#include "richtext/utf8.h"

namespace brindle::richtext {

namespace {

constexpr std::size_t kLongestSequence = 4;
// A byte that starts a character of more bytes (not a character value).
constexpr char32_t kStartsSequence = 0xFFFFFFFF;
const char* const kUnicode = "UTF-32LE";

// The C library's name of a Windows code page number.
std::string iconvName(int number) {
    if (number >= 28591 && number <= 28599) {
        return "ISO-8859-" + std::to_string(number - 28590);
    }
    switch (number) {
        case 28603:
            return "ISO-8859-13";
        case 28605:
            return "ISO-8859-15";
        case 20866:
            return "KOI8-R";
        case 21866:
            return "KOI8-U";
        case 10000:
            return "MACINTOSH";
        case 20932:
            return "EUC-JP";
        case 54936:
            return "GB18030";
        case 65001:
            return "UTF-8";
        default:
            break;
    }
    return "CP" + std::to_string(number);
}

bool isOpen(iconv_t converter) {
    return converter != reinterpret_cast<iconv_t>(-1);
}

std::string unicodeBytes(char32_t character) {
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((character >> (8 * i)) & 0xFF);
    }
    return bytes;
}

char32_t fromUnicodeBytes(const char* bytes) {
    char32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<char32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return value;
}

enum class Outcome { Done, Incomplete, Invalid };

// Converts all of input; output gets what came out.
Outcome convert(iconv_t converter, const std::string& input, std::string& output) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string in = input;
    // A byte gives at most one character of 4 bytes, a character at most a
    // few bytes.
    std::string buffer(4 * input.size() + 16, '\0');
    char* inAt = in.data();
    std::size_t inLeft = in.size();
    char* outAt = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
    const int error = errno;
    if (result == static_cast<std::size_t>(-1)) {
        return error == EINVAL ? Outcome::Incomplete : Outcome::Invalid;
    }
    // A stateful page may hold bytes back until it is told the input ended.
    iconv(converter, nullptr, nullptr, &outAt, &outLeft);
    output.assign(buffer.data(), buffer.size() - outLeft);
    return Outcome::Done;
}

// RTF's own characters are ASCII: a page that reads them otherwise (EBCDIC,
// UTF-16) cannot be the page of an RTF document.
bool keepsAscii(iconv_t toUnicode) {
    std::string ascii;
    std::string expected;
    for (char c = 0x20; c < 0x7F; ++c) {
        ascii += c;
        expected += unicodeBytes(static_cast<char32_t>(c));
    }
    std::string output;
    return convert(toUnicode, ascii, output) == Outcome::Done && output == expected;
}

// A page that joins a letter and a following mark into one character (as
// iconv does for 1255 and 1258) does not give back the bytes it read: a
// document in it would change at every save, so it is read as the default
// page instead.
bool readsBytesOneByOne(iconv_t toUnicode) {
    std::string letter;
    if (convert(toUnicode, "A", letter) != Outcome::Done) {
        return false;
    }
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string alone(1, static_cast<char>(byte));
        std::string single;
        std::string pair;
        if (convert(toUnicode, alone, single) != Outcome::Done) {
            continue;  // not a character of its own: a lead byte or undefined
        }
        if (convert(toUnicode, "A" + alone, pair) != Outcome::Done || pair != letter + single) {
            return false;
        }
    }
    return true;
}

}  // namespace

struct CodePage::Converters {
    iconv_t toUnicode = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUnicode = reinterpret_cast<iconv_t>(-1);
    ~Converters() {
        for (iconv_t converter : {toUnicode, fromUnicode}) {
            if (isOpen(converter)) {
                iconv_close(converter);
            }
        }
    }
};

int codePageOfCharset(int charset, int ansiCodePage) {
    switch (charset) {
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            break;
    }
    return ansiCodePage;
}

CodePage::CodePage(int number) : m_number(number), m_converters(std::make_unique<Converters>()) {
    for (const int candidate : {number, kDefaultCodePage}) {
        const std::string name = iconvName(candidate);
        m_converters->toUnicode = iconv_open(kUnicode, name.c_str());
        m_converters->fromUnicode = iconv_open(name.c_str(), kUnicode);
        if (isOpen(m_converters->toUnicode) && isOpen(m_converters->fromUnicode) &&
            keepsAscii(m_converters->toUnicode) && readsBytesOneByOne(m_converters->toUnicode)) {
            m_number = candidate;
            for (std::size_t byte = 0; byte < m_byteAlone.size(); ++byte) {
                m_pending.assign(1, static_cast<char>(byte));
                m_byteAlone[byte] = decodePending().value_or(kStartsSequence);
            }
            m_pending.clear();
            return;
        }
        m_converters = std::make_unique<Converters>();
    }
    // A C library without Windows-1252: bytes stand for the characters of
    // their value (Latin-1).
    m_number = kDefaultCodePage;
}

CodePage::~CodePage() = default;

CodePage& sharedCodePage(int number) {
    thread_local std::map<int, std::unique_ptr<CodePage>> pages;
    std::unique_ptr<CodePage>& page = pages[number];
    if (!page) {
        page = std::make_unique<CodePage>(number);
    }
    return *page;
}

std::optional<char32_t> CodePage::decode(unsigned char byte) {
    if (!isOpen(m_converters->toUnicode)) {
        return char32_t{byte};
    }
    if (m_pending.empty() && m_byteAlone[byte] != kStartsSequence) {
        return m_byteAlone[byte];
    }
    m_pending += static_cast<char>(byte);
    return decodePending();
}

// The character of the pending bytes, once they make one.
std::optional<char32_t> CodePage::decodePending() {
    std::string output;
    switch (convert(m_converters->toUnicode, m_pending, output)) {
        case Outcome::Incomplete:
            if (m_pending.size() < kLongestSequence) {
                return std::nullopt;
            }
            break;
        case Outcome::Done:
            m_pending.clear();
            if (output.size() >= 4) {
                return fromUnicodeBytes(output.data());
            }
            // Bytes that only switch a state give no character.
            return std::nullopt;
        case Outcome::Invalid:
            break;
    }
    m_pending.clear();
    return kReplacementCharacter;
}

std::optional<char32_t> CodePage::flush() {
    if (m_pending.empty()) {
        return std::nullopt;
    }
    m_pending.clear();
    return kReplacementCharacter;
}

std::optional<std::string> CodePage::encode(char32_t character) {
    if (const auto known = m_encoded.find(character); known != m_encoded.end()) {
        return known->second;
    }
    std::optional<std::string> bytes = encodeWithIconv(character);
    m_encoded.emplace(character, bytes);
    return bytes;
}

std::optional<std::string> CodePage::encodeWithIconv(char32_t character) {
    if (!isOpen(m_converters->fromUnicode)) {
        return character <= 0xFF
                   ? std::optional<std::string>(std::string(1, static_cast<char>(character)))
                   : std::nullopt;
    }
    std::string output;
    if (convert(m_converters->fromUnicode, unicodeBytes(character), output) != Outcome::Done ||
        output.empty()) {
        return std::nullopt;
    }
    // Only bytes that read back as the same character: a page that maps two
    // characters to one byte sequence keeps the other as \uN.
    std::string back;
    if (convert(m_converters->toUnicode, output, back) != Outcome::Done ||
        back != unicodeBytes(character)) {
        return std::nullopt;
    }
    return output;
}

}  // namespace brindle::richtext
