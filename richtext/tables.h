#pragma once
// The font and colour tables as the reader meets them, entry by entry, and
// the lookup from the numbers the text uses (\fN, \cfN) to model indexes.
#include <map>
#include <string>
#include <vector>

#include "richtext/document.h"

namespace brindle::richtext {

class FontTableReader {
  public:
    explicit FontTableReader(std::vector<Font>& fonts) : m_fonts(fonts) {}

    void setNumber(int number);
    void setFamily(FontFamily family);
    void setCharset(int charset);
    void appendName(char32_t character);
    // Ends the entry being read (at ';' or at the end of its group). An
    // entry without a number takes the next free one; a number read before
    // replaces that font.
    void finishEntry();

    // The index of font number, else of defaultNumber, else 0.
    int indexOf(int number, int defaultNumber) const;

  private:
    std::vector<Font>& m_fonts;
    std::map<int, int> m_indexOfNumber;
    bool m_started = false;
    bool m_hasNumber = false;
    int m_number = 0;
    Font m_entry;
};

class ColourTableReader {
  public:
    explicit ColourTableReader(std::vector<Colour>& colours) : m_colours(colours) {}

    void setRed(int value);
    void setGreen(int value);
    void setBlue(int value);
    // Ends the entry at ';'. An entry without components is automatic.
    void finishEntry();
    // Ends the table's group: a last entry missing its ';' still counts.
    void finishTable();

    // The model colour of \cfN: 0 (automatic) for numbers outside the table.
    int indexOf(int number) const;

  private:
    std::vector<Colour>& m_colours;
    std::vector<int> m_indexOfNumber;
    bool m_hasComponent = false;
    Colour m_entry;
};

}  // namespace brindle::richtext
