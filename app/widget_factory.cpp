#include "app/widget_factory.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVariant>

namespace brindle::app {

void setArrayIndex(QWidget* widget, int index) {
    widget->setProperty(kIndexProperty, index);
}

int arrayIndex(const QWidget* widget) {
    QVariant value = widget->property(kIndexProperty);
    return value.isValid() ? value.toInt() : -1;
}

QPushButton* makeButton(const char* name, const char* caption, const char* tip) {
    auto* button = named(new QPushButton(QString::fromLatin1(caption)), name);
    if (tip) {
        button->setToolTip(QString::fromLatin1(tip));
    }
    return button;
}

QLabel* makeLabel(const char* caption, QWidget* buddy, const char* name) {
    auto* label = new QLabel(QString::fromLatin1(caption));
    if (name) {
        label->setObjectName(QString::fromLatin1(name));
    }
    label->setBuddy(buddy);
    return label;
}

void keepRoomWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void keepScrollAreaBordersVisible(QWidget* window) {
    for (QAbstractScrollArea* area : window->findChildren<QAbstractScrollArea*>()) {
        // A list's popup is a window of its own and has no border to keep.
        if (area->window() != window) {
            continue;
        }
        area->setBackgroundRole(QPalette::Base);
        area->setAutoFillBackground(true);
        area->viewport()->setAutoFillBackground(false);
    }
}

QComboBox* makeEditableList(const char* name) {
    auto* list = named(new QComboBox, name);
    list->setEditable(true);
    list->setCompleter(nullptr);
    list->setInsertPolicy(QComboBox::NoInsert);
    return list;
}

}  // namespace brindle::app
