#pragma once
// The one font for text whose columns must line up: macro texts, the E2PROM
// text, the receive window and the sequence lists.
#include <QFont>

class QWidget;

namespace brindle::app {

// The system's fixed-width font. A font that only calls itself fixed-width is
// checked by its glyphs: when "i" and "M" differ in width, a monospace
// family is asked for instead.
QFont fixedWidthFont();

// Shows the widget's text in fixedWidthFont().
void useFixedWidthFont(QWidget* widget);

}  // namespace brindle::app
