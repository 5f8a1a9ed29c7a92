#pragma once
// Small helpers that give every control its name, caption and tool tip the
// same way. A control keeps its established name as its Qt object name; the
// members of a control array share the array's name and carry their index in
// the dynamic property "index".
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace brindle::app {

inline constexpr const char* kIndexProperty = "index";

template <class Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Marks a widget as member `index` of the control array it is named after.
void setArrayIndex(QWidget* widget, int index);
// The member's index, or -1 for a widget outside any array.
int arrayIndex(const QWidget* widget);

QPushButton* makeButton(const char* name, const char* caption, const char* tip = nullptr);
// A caption next to its control: the label's buddy is the control.
QLabel* makeLabel(const char* caption, QWidget* buddy, const char* name = nullptr);

// The widget keeps its room in the layout while hidden, so that nothing
// moves when it comes and goes.
void keepRoomWhenHidden(QWidget* widget);

// Lists and text boxes of the window keep their whole border at fractional
// scale factors (1.5): there the content area, filled with the base colour,
// rounds onto the border line and paints over it. The box itself is filled
// instead, under its border, and the content area draws on it unfilled.
void keepScrollAreaBordersVisible(QWidget* window);

// An editable list whose line holds exactly what was typed: no completion,
// and Enter adds no entry.
QComboBox* makeEditableList(const char* name);

}  // namespace brindle::app
