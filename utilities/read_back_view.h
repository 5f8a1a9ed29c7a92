#pragma once
// What the read-back shows: the "Reading E2prom..." note, the E2PROM text and
// the three header fields with their captions. The window implements it with
// the Read back tab's widgets, the command-line tool with its output, tests
// with a recorder. It is output only: Save to File takes the text from
// whoever shows it (the window's tab from its own widget).
#include <string>

namespace brindle::utilities {

enum class HeaderField { MacroId, BootMacro, MacroCount };

class ReadBackView {
  public:
    virtual ~ReadBackView() = default;

    virtual void showReadingMessage(bool visible) = 0;
    // The E2PROM text, one byte per character, exactly as saved to a file.
    virtual void setE2promText(const std::string& text) = 0;
    virtual void setHeaderField(HeaderField field, const std::string& text) = 0;
    // The three fields and their captions, together.
    virtual void showHeaderFields(bool visible) = 0;
};

}  // namespace brindle::utilities
