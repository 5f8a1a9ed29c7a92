#pragma once
// Readable failure messages for documents, and short ways to look at them.
#include <ostream>
#include <string>
#include <vector>

#include "richtext/document.h"

namespace brindle::richtext {

inline void PrintTo(const Font& font, std::ostream* out) {
    *out << "\"" << font.name << "\"/" << static_cast<int>(font.family) << "/cs" << font.charset;
}

inline void PrintTo(const Colour& colour, std::ostream* out) {
    *out << int{colour.red} << "," << int{colour.green} << "," << int{colour.blue};
}

inline void PrintTo(const Format& format, std::ostream* out) {
    *out << (format.bold ? "b " : "") << (format.italic ? "i " : "")
         << (format.underline ? "ul " : "") << (format.hidden ? "v " : "") << "fs"
         << format.fontSize << " f" << format.font << " cf" << format.colour;
}

inline void PrintTo(const Run& run, std::ostream* out) {
    *out << "[";
    PrintTo(run.format, out);
    *out << "] \"" << run.text << "\"";
}

inline void PrintTo(const Paragraph& paragraph, std::ostream* out) {
    *out << "paragraph align " << static_cast<int>(paragraph.alignment) << ":";
    for (const Run& run : paragraph.runs) {
        *out << "\n    ";
        PrintTo(run, out);
    }
}

inline void PrintTo(const Document& document, std::ostream* out) {
    *out << "\ncode page " << document.codePage << "\nfonts:";
    for (const Font& font : document.fonts) {
        *out << " ";
        PrintTo(font, out);
    }
    *out << "\ncolours:";
    for (const Colour& colour : document.colours) {
        *out << " " << int{colour.red} << "," << int{colour.green} << "," << int{colour.blue};
    }
    for (const Paragraph& paragraph : document.paragraphs) {
        *out << "\n  ";
        PrintTo(paragraph, out);
    }
    *out << "\n";
}

}  // namespace brindle::richtext

namespace brindle::testing {

// The text of every paragraph, in order.
inline std::vector<std::string> paragraphTexts(const richtext::Document& document) {
    std::vector<std::string> texts;
    for (const richtext::Paragraph& paragraph : document.paragraphs) {
        texts.push_back(richtext::plainText(paragraph));
    }
    return texts;
}

}  // namespace brindle::testing
