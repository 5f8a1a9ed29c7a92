#include "app/read_back_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/widget_factory.h"

namespace brindle::app {

ReadBackTab::ReadBackTab() {
    buildWidgets();
}

bool ReadBackTab::convertStatusArguments() const {
    return StatArgument->isChecked();
}

void ReadBackTab::setConvertStatusArguments(bool ticked) {
    StatArgument->setChecked(ticked);
}

void ReadBackTab::buildWidgets() {
    Command1 = makeButton("Command1", "Read E2prom", "Read contents of E2prom in Macro Module");
    Command2 = makeButton("Command2", "Clear All");
    SaveCmd = makeButton("SaveCmd", "Save to File", "Saves Data read to a file");
    StatArgument =
        named(new QCheckBox(QStringLiteral("Convert Status Arguments to HEX")), "StatArgument");
    Text1 = named(new QTextEdit, "Text1");
    Text2 = named(new QLineEdit, "Text2");
    Text3 = named(new QLineEdit, "Text3");
    Text4 = named(new QLineEdit, "Text4");
    Label20 = makeLabel("Macro Id", Text2, "Label20");
    Label21 = makeLabel("Boot Macro", Text3, "Label21");
    Label23 = makeLabel("# of Macros", Text4, "Label23");
    ReadingMsg = named(new QLabel(QStringLiteral("Reading E2prom...")), "ReadingMsg");

    // The header fields appear only once a read has filled them.
    for (QWidget* w :
         {static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3), static_cast<QWidget*>(Text4),
          static_cast<QWidget*>(Label20), static_cast<QWidget*>(Label21),
          static_cast<QWidget*>(Label23), static_cast<QWidget*>(ReadingMsg)}) {
        w->setVisible(false);
    }

    auto* header = new QGridLayout;
    header->addWidget(Label20, 0, 0);
    header->addWidget(Label21, 0, 1);
    header->addWidget(Label23, 0, 2);
    header->addWidget(Text2, 1, 0);
    header->addWidget(Text3, 1, 1);
    header->addWidget(Text4, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(SaveCmd);
    buttons->addWidget(StatArgument);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(ReadingMsg);
    layout->addLayout(header);
    layout->addWidget(makeLabel("E2prom Data", Text1, "Label19"));
    layout->addWidget(Text1, 1);
}

}  // namespace brindle::app
