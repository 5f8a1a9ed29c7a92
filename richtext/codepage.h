#pragma once
// The code pages of RTF text (\ansicpgN, a font's \fcharsetN), converted by
// the C library's iconv: single-byte pages such as Windows-1251 and the
// double-byte ones of East Asia alike.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace brindle::richtext {

// The code page RTF assumes without \ansicpg.
constexpr int kDefaultCodePage = 1252;
// A font without \fcharset.
constexpr int kNoCharset = -1;

// The code page a font's \fcharsetN stands for; ANSI, default, symbol and
// unknown character sets use ansiCodePage, the document's.
int codePageOfCharset(int charset, int ansiCodePage);

// One code page, opened in both directions. A number the C library does
// not know gives Windows-1252 instead (see number()).
class CodePage {
  public:
    explicit CodePage(int number);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    // The code page used: the number asked for, or 1252 in its place.
    int number() const { return m_number; }

    // Takes the next byte of text. Gives the character once its bytes are
    // complete (a lead byte of a double-byte page gives nothing yet), and
    // U+FFFD for a byte or a sequence the page does not define.
    std::optional<char32_t> decode(unsigned char byte);
    // A started sequence that will not be completed: U+FFFD, else nothing.
    std::optional<char32_t> flush();

    // The bytes of a character in this page, when it has them.
    std::optional<std::string> encode(char32_t character);

  private:
    struct Converters;
    int m_number;
    std::unique_ptr<Converters> m_converters;
    std::optional<char32_t> decodePending();
    std::optional<std::string> encodeWithIconv(char32_t character);

    std::string m_pending;
    // What each byte gives on its own, asked of iconv once (a character, or
    // kStartsSequence), and the bytes of each character encoded so far.
    std::array<char32_t, 256> m_byteAlone{};
    std::unordered_map<char32_t, std::optional<std::string>> m_encoded;
};

// The code page of a number, opened once per thread (opening one is slow).
// A user that stops in the middle of a character calls flush() first.
CodePage& sharedCodePage(int number);

}  // namespace brindle::richtext
