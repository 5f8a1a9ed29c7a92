#include "richtext/document.h"

namespace brindle::richtext {

void appendText(Paragraph& paragraph, const Format& format, std::string_view text) {
    if (text.empty()) {
        return;
    }
    if (!paragraph.runs.empty() && paragraph.runs.back().format == format) {
        paragraph.runs.back().text.append(text);
        return;
    }
    paragraph.runs.push_back(Run{std::string(text), format});
}

std::string plainText(const Paragraph& paragraph) {
    std::string text;
    for (const Run& run : paragraph.runs) {
        text += run.text;
    }
    return text;
}

const Colour* colourOf(const Document& document, const Format& format) {
    if (format.colour < 1 || static_cast<std::size_t>(format.colour) > document.colours.size()) {
        return nullptr;
    }
    return &document.colours[static_cast<std::size_t>(format.colour) - 1];
}

}  // namespace brindle::richtext
