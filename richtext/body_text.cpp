#include "richtext/body_text.h"

#include <utility>

namespace brindle::richtext {

void BodyText::append(const Format& format, std::string_view utf8) {
    for (; m_pendingCells > 0; --m_pendingCells) {
        appendText(m_current, format, "\t");
    }
    appendText(m_current, format, utf8);
}

void BodyText::endParagraph(Alignment alignment) {
    m_pendingCells = 0;
    m_current.alignment = alignment;
    m_paragraphs.push_back(std::move(m_current));
    m_current = Paragraph{};
}

void BodyText::finish(Alignment alignment) {
    if (!m_current.runs.empty()) {
        endParagraph(alignment);
    }
}

}  // namespace brindle::richtext
