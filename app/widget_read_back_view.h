#pragma once
// What the read-back shows, on the Read back tab's widgets. The text is kept
// as the bytes it is made of: e2promTextBox shows them in a fixed-width font with
// CR LF as line breaks, and Save to File writes the kept bytes.
#include <QWidget>
#include <string>

#include "utilities/read_back_view.h"

class QLabel;
class QLineEdit;
class QTextEdit;

namespace brindle::app {

struct ReadBackTabControls;

class WidgetReadBackView : public utilities::ReadBackView {
  public:
    explicit WidgetReadBackView(ReadBackTabControls& tab) : m_tab(tab) {}

    void showReadingMessage(bool visible) override;
    // What was last shown, as Save to File writes it (the tab's own read).
    std::string e2promText() const { return m_text; }
    void setE2promText(const std::string& text) override;
    void setHeaderField(utilities::HeaderField field, const std::string& text) override;
    void showHeaderFields(bool visible) override;

  private:
    ReadBackTabControls& m_tab;
    std::string m_text;
};

}  // namespace brindle::app
