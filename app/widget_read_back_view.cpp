#include "app/widget_read_back_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include "app/read_back_tab_controls.h"
#include "app/text_conversion.h"

namespace brindle::app {

void WidgetReadBackView::showReadingMessage(bool visible) {
    // The focus leaves Cancel before it goes, back to the button that read.
    if (!visible && m_tab.readCancelButton->hasFocus()) {
        m_tab.readE2promButton->setFocus(Qt::OtherFocusReason);
    }
    m_tab.readingNote->setVisible(visible);
    m_tab.readCancelButton->setVisible(visible);
}

void WidgetReadBackView::setE2promText(const std::string& text) {
    m_text = text;
    QString shown = toQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_tab.e2promTextBox->setPlainText(shown);
}

void WidgetReadBackView::setHeaderField(utilities::HeaderField field, const std::string& text) {
    QLineEdit* box = field == utilities::HeaderField::MacroId     ? m_tab.macroIdBox
                     : field == utilities::HeaderField::BootMacro ? m_tab.bootMacroBox
                                                                  : m_tab.macroCountBox;
    box->setText(toQt(text));
}

void WidgetReadBackView::showHeaderFields(bool visible) {
    for (QWidget* w :
         {static_cast<QWidget*>(m_tab.macroIdBox), static_cast<QWidget*>(m_tab.bootMacroBox),
          static_cast<QWidget*>(m_tab.macroCountBox), static_cast<QWidget*>(m_tab.macroIdLabel),
          static_cast<QWidget*>(m_tab.bootMacroLabel),
          static_cast<QWidget*>(m_tab.macroCountLabel)}) {
        w->setVisible(visible);
    }
}

}  // namespace brindle::app
