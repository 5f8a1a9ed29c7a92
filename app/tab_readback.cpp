// The "Read back" tab: the E2prom text and the three header bytes.
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/tabs.h"
#include "app/widget_factory.h"

namespace brindle::app {

QWidget* buildReadBackTab(ReadBackTab& tab) {
    tab.Command1 = makeButton("Command1", "Read E2prom", "Read contents of E2prom in Macro Module");
    tab.Command2 = makeButton("Command2", "Clear All");
    tab.SaveCmd = makeButton("SaveCmd", "Save to File", "Saves Data read to a file");
    tab.StatArgument =
        named(new QCheckBox(QStringLiteral("Convert Status Arguments to HEX")), "StatArgument");
    tab.Text1 = named(new QTextEdit, "Text1");
    tab.Text2 = named(new QLineEdit, "Text2");
    tab.Text3 = named(new QLineEdit, "Text3");
    tab.Text4 = named(new QLineEdit, "Text4");
    tab.Label20 = makeLabel("Macro Id", tab.Text2, "Label20");
    tab.Label21 = makeLabel("Boot Macro", tab.Text3, "Label21");
    tab.Label23 = makeLabel("# of Macros", tab.Text4, "Label23");
    tab.ReadingMsg = named(new QLabel(QStringLiteral("Reading E2prom...")), "ReadingMsg");

    // The header fields appear only once a read has filled them.
    for (QWidget* w : {static_cast<QWidget*>(tab.Text2), static_cast<QWidget*>(tab.Text3),
                       static_cast<QWidget*>(tab.Text4), static_cast<QWidget*>(tab.Label20),
                       static_cast<QWidget*>(tab.Label21), static_cast<QWidget*>(tab.Label23),
                       static_cast<QWidget*>(tab.ReadingMsg)}) {
        w->setVisible(false);
    }

    auto* header = new QGridLayout;
    header->addWidget(tab.Label20, 0, 0);
    header->addWidget(tab.Label21, 0, 1);
    header->addWidget(tab.Label23, 0, 2);
    header->addWidget(tab.Text2, 1, 0);
    header->addWidget(tab.Text3, 1, 1);
    header->addWidget(tab.Text4, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(tab.Command1);
    buttons->addWidget(tab.Command2);
    buttons->addWidget(tab.SaveCmd);
    buttons->addWidget(tab.StatArgument);
    buttons->addStretch(1);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(buttons);
    layout->addWidget(tab.ReadingMsg);
    layout->addLayout(header);
    layout->addWidget(makeLabel("E2prom Data", tab.Text1, "Label19"));
    layout->addWidget(tab.Text1, 1);
    return page;
}

}  // namespace brindle::app
