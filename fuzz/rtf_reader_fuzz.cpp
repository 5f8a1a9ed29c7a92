// Reads arbitrary bytes as RTF, writes the document and reads that again:
// the second reading must give the same document (the writer loses nothing
// the reader can produce), the document must be canonical, and the written
// RTF must be 7-bit and written identically the second time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "richtext/document.h"
#include "richtext/reader.h"
#include "richtext/utf8.h"
#include "richtext/writer.h"

namespace {

using namespace brindle::richtext;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkCanonical(const Document& document) {
    for (const Paragraph& paragraph : document.paragraphs) {
        for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
            const Run& run = paragraph.runs[i];
            require(!run.text.empty());
            require(isValidUtf8(run.text));
            require(i == 0 || !(paragraph.runs[i - 1].format == run.format));
            require(run.format.fontSize >= 1 && run.format.fontSize <= kMaxFontSize);
            require(run.format.font >= 0);
            require(static_cast<std::size_t>(run.format.font) <
                    std::max<std::size_t>(document.fonts.size(), 1));
            require(run.format.colour >= 0 &&
                    static_cast<std::size_t>(run.format.colour) <= document.colours.size());
            for (const char c : run.text) {
                require(c == '\t' || c == '\n' || static_cast<unsigned char>(c) >= 0x20);
            }
        }
    }
    for (const Font& font : document.fonts) {
        require(isValidUtf8(font.name));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const Document first = readRtf(input);
    checkCanonical(first);
    const std::string written = writeRtf(first);
    for (const char c : written) {
        require(static_cast<unsigned char>(c) < 0x80);
    }
    const Document second = readRtf(written);
    require(second == first);
    require(writeRtf(second) == written);
    return 0;
}
