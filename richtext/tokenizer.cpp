#include "richtext/tokenizer.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace brindle::richtext {

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

Token Tokenizer::next() {
    Token token;
    if (m_at >= m_input.size()) {
        return token;
    }
    const char c = m_input[m_at];
    if (c == '{') {
        ++m_at;
        token.kind = TokenKind::GroupStart;
        return token;
    }
    if (c == '}') {
        ++m_at;
        token.kind = TokenKind::GroupEnd;
        return token;
    }
    if (c != '\\') {
        const std::size_t end = m_input.find_first_of("\\{}", m_at);
        const std::size_t stop = end == std::string_view::npos ? m_input.size() : end;
        token.kind = TokenKind::Text;
        token.text = m_input.substr(m_at, stop - m_at);
        m_at = stop;
        return token;
    }
    ++m_at;
    if (m_at >= m_input.size()) {
        // A backslash at the very end stands for nothing.
        return token;
    }
    if (isLetter(m_input[m_at])) {
        return controlWord();
    }
    if (m_input[m_at] == '\'') {
        ++m_at;
        return hexByte();
    }
    token.kind = TokenKind::ControlSymbol;
    token.symbol = static_cast<unsigned char>(m_input[m_at]);
    ++m_at;
    return token;
}

Token Tokenizer::controlWord() {
    Token token;
    token.kind = TokenKind::ControlWord;
    const std::size_t start = m_at;
    while (m_at < m_input.size() && isLetter(m_input[m_at])) {
        ++m_at;
    }
    token.word = m_input.substr(start, m_at - start);

    bool negative = false;
    if (m_at + 1 < m_input.size() && m_input[m_at] == '-' && isDigit(m_input[m_at + 1])) {
        negative = true;
        ++m_at;
    }
    if (m_at < m_input.size() && isDigit(m_input[m_at])) {
        // Saturate instead of overflowing: only the first digits count.
        constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
        std::int64_t value = 0;
        while (m_at < m_input.size() && isDigit(m_input[m_at])) {
            value = std::min(kLimit, value * 10 + (m_input[m_at] - '0'));
            ++m_at;
        }
        token.hasParameter = true;
        token.parameter = static_cast<int>(negative ? -value : value);
    }
    if (m_at < m_input.size() && m_input[m_at] == ' ') {
        ++m_at;
    }

    if (token.word == "bin") {
        const std::size_t wanted = token.hasParameter && token.parameter > 0
                                       ? static_cast<std::size_t>(token.parameter)
                                       : 0;
        const std::size_t length = std::min(wanted, m_input.size() - m_at);
        token.kind = TokenKind::Binary;
        token.text = m_input.substr(m_at, length);
        m_at += length;
    }
    return token;
}

Token Tokenizer::hexByte() {
    Token token;
    int value = 0;
    int digits = 0;
    while (digits < 2 && m_at < m_input.size() && hexValue(m_input[m_at]) >= 0) {
        value = value * 16 + hexValue(m_input[m_at]);
        ++digits;
        ++m_at;
    }
    if (digits < 2) {
        // A cut-short escape: a symbol the reader ignores.
        token.kind = TokenKind::ControlSymbol;
        token.symbol = '\'';
        return token;
    }
    token.kind = TokenKind::HexByte;
    token.symbol = static_cast<unsigned char>(value);
    return token;
}

}  // namespace brindle::richtext
