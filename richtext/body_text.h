#pragma once
// The paragraphs of the document body as the reader meets their text: runs
// in their formats, and the cells of table rows separated by tabs.
#include <string_view>
#include <vector>

#include "richtext/document.h"

namespace brindle::richtext {

class BodyText {
  public:
    explicit BodyText(std::vector<Paragraph>& paragraphs) : m_paragraphs(paragraphs) {}

    // Adds text, after the tabs of the cells ended since the last text.
    void append(const Format& format, std::string_view utf8);
    // A tab separates a cell from the next one; the last cell of a row
    // needs none, so the tab waits for text that follows.
    void endCell() { ++m_pendingCells; }
    void endParagraph(Alignment alignment);
    // Ends the last paragraph when it holds text.
    void finish(Alignment alignment);

  private:
    std::vector<Paragraph>& m_paragraphs;
    Paragraph m_current;
    int m_pendingCells = 0;
};

}  // namespace brindle::richtext
