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
    if (!visible && m_tab.ReadCancelCmd->hasFocus()) {
        m_tab.Command1->setFocus(Qt::OtherFocusReason);
    }
    m_tab.ReadingMsg->setVisible(visible);
    m_tab.ReadCancelCmd->setVisible(visible);
}

void WidgetReadBackView::setE2promText(const std::string& text) {
    m_text = text;
    QString shown = toQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_tab.Text1->setPlainText(shown);
}

void WidgetReadBackView::setHeaderField(utilities::HeaderField field, const std::string& text) {
    QLineEdit* box = field == utilities::HeaderField::MacroId     ? m_tab.Text2
                     : field == utilities::HeaderField::BootMacro ? m_tab.Text3
                                                                  : m_tab.Text4;
    box->setText(toQt(text));
}

void WidgetReadBackView::showHeaderFields(bool visible) {
    for (QWidget* w :
         {static_cast<QWidget*>(m_tab.Text2), static_cast<QWidget*>(m_tab.Text3),
          static_cast<QWidget*>(m_tab.Text4), static_cast<QWidget*>(m_tab.Label20),
          static_cast<QWidget*>(m_tab.Label21), static_cast<QWidget*>(m_tab.Label23)}) {
        w->setVisible(visible);
    }
}

}  // namespace brindle::app
