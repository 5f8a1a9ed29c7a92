// Plain text read as a document (declared in reader.h).
#include <optional>

#include "richtext/characters.h"
#include "richtext/codepage.h"
#include "richtext/reader.h"
#include "richtext/utf8.h"

namespace brindle::richtext {

Document readPlainText(std::string_view input) {
    const bool utf8 = isValidUtf8(input);
    CodePage windows1252(kDefaultCodePage);
    Document document;
    Paragraph paragraph;
    std::string line;
    auto endLine = [&] {
        appendText(paragraph, Format{}, line);
        document.paragraphs.push_back(std::move(paragraph));
        paragraph = Paragraph{};
        line.clear();
    };
    std::size_t at = 0;
    while (at < input.size()) {
        char32_t character = 0;
        if (utf8) {
            const DecodedCodePoint decoded = decodeUtf8(input, at);
            character = decoded.codePoint;
            at += decoded.length;
        } else {
            // Windows-1252 is a single-byte page: every byte gives a character.
            character = windows1252.decode(static_cast<unsigned char>(input[at])).value_or(0);
            ++at;
        }
        if (character == '\r' || character == '\n') {
            if (character == '\r' && at < input.size() && input[at] == '\n') {
                ++at;
            }
            endLine();
            continue;
        }
        if (const std::optional<char32_t> kept = normaliseCharacter(character)) {
            appendUtf8(line, *kept);
        }
    }
    if (!line.empty()) {
        endLine();
    }
    return document;
}

}  // namespace brindle::richtext
