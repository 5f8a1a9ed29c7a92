#pragma once
// Splits RTF bytes into tokens: braces, control words with their numeric
// parameter, control symbols, \'hh escapes, runs of ordinary text and the
// data of \binN. Every call moves forward, so reading ends after at most
// one token per input byte, whatever the input.
#include <cstddef>
#include <string_view>

namespace brindle::richtext {

enum class TokenKind {
    End,
    GroupStart,
    GroupEnd,
    ControlWord,    // word, hasParameter, parameter
    ControlSymbol,  // symbol: the character after the backslash
    HexByte,        // symbol: the value of \'hh
    Text,           // text: bytes other than backslash and braces
    Binary,         // text: the bytes of \binN
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view word;
    bool hasParameter = false;
    int parameter = 0;  // saturated to the range of int
    unsigned char symbol = 0;
    std::string_view text;
};

class Tokenizer {
  public:
    explicit Tokenizer(std::string_view input) : m_input(input) {}

    Token next();

  private:
    Token controlWord();
    Token hexByte();

    std::string_view m_input;
    std::size_t m_at = 0;
};

}  // namespace brindle::richtext
