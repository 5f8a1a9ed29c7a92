#include "app/message_box_prompter.h"

#include <QMessageBox>

#include "app/text_conversion.h"

namespace brindle::app {

namespace {

QMessageBox::Icon boxIcon(base::Icon icon) {
    switch (icon) {
        case base::Icon::Critical:
            return QMessageBox::Critical;
        case base::Icon::Exclamation:
            return QMessageBox::Warning;
        case base::Icon::Information:
            break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons boxButtons(base::Buttons buttons) {
    switch (buttons) {
        case base::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case base::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case base::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

}  // namespace

base::Answer MessageBoxPrompter::show(const std::string& text, base::Icon icon,
                                      base::Buttons buttons, const std::string& title) {
    QMessageBox box(boxIcon(icon), toQt(title), toQt(text), boxButtons(buttons), m_parent);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return base::Answer::Ok;
        case QMessageBox::Cancel:
            return base::Answer::Cancel;
        case QMessageBox::Yes:
            return base::Answer::Yes;
        case QMessageBox::No:
            return base::Answer::No;
        default:
            // Closing the box counts as its safe answer.
            return buttons == base::Buttons::YesNo      ? base::Answer::No
                   : buttons == base::Buttons::OkCancel ? base::Answer::Cancel
                                                        : base::Answer::Ok;
    }
}

}  // namespace brindle::app
