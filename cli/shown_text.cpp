#include "cli/shown_text.h"

#include <unistd.h>

#include <cstdlib>

namespace brindle::cli {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHex(std::string& out, unsigned char byte) {
    out += "\\x";
    out.push_back(kHexDigits[byte >> 4]);
    out.push_back(kHexDigits[byte & 0xF]);
}

// The locale's character set as the environment names it (the first of
// LC_ALL, LC_CTYPE and LANG that is set), without changing the locale.
bool utf8Locale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        std::string text;
        for (const char* c = value; *c != '\0'; ++c) {
            if (*c != '-') {
                text.push_back(static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c));
            }
        }
        return text.find("utf8") != std::string::npos;
    }
    return false;
}

}  // namespace

std::string shownText(std::string_view bytes, const TextStyle& style) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (!style.escape) {
            if (c == '\r') {
                out += "\\r";
            } else if (c == '\n') {
                out += "\\n";
            } else {
                out.push_back(c);
            }
        } else if (c == '\\') {
            out += "\\\\";
        } else if (u >= 0x20 && u < 0x7F) {
            out.push_back(c);
        } else if (u >= 0xA0 && style.utf8) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            appendHex(out, u);
        }
    }
    return out;
}

TextStyle styleForStream(int fd) {
    TextStyle style;
    style.escape = ::isatty(fd) == 1;
    style.utf8 = style.escape && utf8Locale();
    return style;
}

}  // namespace brindle::cli
