#include "app/fixed_width_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QWidget>

namespace brindle::app {

namespace {

// Font files do not always say whether they are fixed-width, so the glyphs
// decide.
bool glyphsShareOneWidth(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(QLatin1Char('i')) ==
               metrics.horizontalAdvance(QLatin1Char('M')) &&
           metrics.horizontalAdvance(QLatin1Char(' ')) ==
               metrics.horizontalAdvance(QLatin1Char('M'));
}

}  // namespace

QFont fixedWidthFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!glyphsShareOneWidth(font)) {
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    }
    return font;
}

void useFixedWidthFont(QWidget* widget) {
    widget->setFont(fixedWidthFont());
}

}  // namespace brindle::app
