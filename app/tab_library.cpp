// The "Specify Macros" tab: the combination, sequence and macro editors.
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/tabs.h"
#include "app/widget_factory.h"

namespace brindle::app {

namespace {

QLineEdit* makeField(const char* name, const char* tip) {
    auto* field = named(new QLineEdit, name);
    field->setToolTip(QString::fromLatin1(tip));
    return field;
}

}  // namespace

QWidget* buildSpecifyTab(SpecifyTab& tab) {
    tab.ComboList = makeEditableList("ComboList");
    tab.MacroList = makeEditableList("MacroList");
    tab.MacroComboList = named(new QListWidget, "MacroComboList");
    tab.MacroComboList->setToolTip(QStringLiteral("Click on Macro to Preview or edit the Macro"));
    tab.MacroText = named(new QPlainTextEdit, "MacroText");
    tab.MacroSizeLabel = named(new QLabel, "MacroSizeLabel");
    tab.VersionText = makeField("VersionText", "Optional");
    tab.DescriptionText = makeField("DescriptionText", "Optional");
    tab.StartingMacroNum =
        makeField("StartingMacroNum", "Macro to be performed after power up (0-none)");
    tab.NodeAddress = makeField("NodeAddress", "Address of ZRT Host");
    tab.NewComboCmd =
        makeButton("NewComboCmd", "New Combination", "Click to creat a new Macro Combination");
    tab.NewMacroCmd = makeButton("NewMacroCmd", "New Macro", "Click to create a new Macro");
    tab.SaveComboCmd = makeButton("SaveComboCmd", "Save Combination");
    tab.SaveMacroCmd = makeButton("SaveMacroCmd", "Save Macro");
    tab.InsertAddCmd = makeButton("InsertAddCmd", "Insert/Add To Combo Combination Sequence",
                                  "Always save the Combination selected to insert a new macro");
    tab.DeleteMacroLink = makeButton("DeleteMacroLink", "Delete Macro Link");
    tab.DeleteCombo = makeButton("DeleteCombo", "Delete Combination");
    tab.DeleteMacro = makeButton("DeleteMacro", "Delete Macro");

    // Left: the combination and its sequence; right: the macro.
    auto* combo = new QGridLayout;
    combo->addWidget(makeLabel("Select Macro Combination", tab.ComboList, "Label8"), 0, 0, 1, 2);
    combo->addWidget(tab.ComboList, 1, 0, 1, 2);
    combo->addWidget(makeLabel("Version", tab.VersionText, "Label13"), 2, 0);
    combo->addWidget(tab.VersionText, 2, 1);
    combo->addWidget(makeLabel("Description", tab.DescriptionText, "Label14"), 3, 0);
    combo->addWidget(tab.DescriptionText, 3, 1);
    combo->addWidget(makeLabel("Starting Macro #", tab.StartingMacroNum, "Label15"), 4, 0);
    combo->addWidget(tab.StartingMacroNum, 4, 1);
    combo->addWidget(makeLabel("Node Address", tab.NodeAddress, "Label16"), 5, 0);
    combo->addWidget(tab.NodeAddress, 5, 1);
    combo->addWidget(makeLabel("Macro Sequence in Combination", tab.MacroComboList, "Label10"), 6,
                     0, 1, 2);
    combo->addWidget(tab.MacroComboList, 7, 0, 1, 2);
    auto* comboButtons = new QGridLayout;
    comboButtons->addWidget(tab.NewComboCmd, 0, 0);
    comboButtons->addWidget(tab.SaveComboCmd, 0, 1);
    comboButtons->addWidget(tab.DeleteCombo, 1, 0);
    comboButtons->addWidget(tab.DeleteMacroLink, 1, 1);
    comboButtons->addWidget(tab.InsertAddCmd, 2, 0, 1, 2);
    combo->addLayout(comboButtons, 8, 0, 1, 2);

    auto* macro = new QVBoxLayout;
    macro->addWidget(makeLabel("Select Macro", tab.MacroList, "Label11"));
    macro->addWidget(tab.MacroList);
    macro->addWidget(makeLabel("Selected Macro Text", tab.MacroText, "Label12"));
    macro->addWidget(tab.MacroText, 1);
    macro->addWidget(tab.MacroSizeLabel);
    auto* macroButtons = new QHBoxLayout;
    macroButtons->addWidget(tab.NewMacroCmd);
    macroButtons->addWidget(tab.SaveMacroCmd);
    macroButtons->addWidget(tab.DeleteMacro);
    macro->addLayout(macroButtons);

    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(combo, 1);
    layout->addLayout(macro, 1);
    return page;
}

}  // namespace brindle::app
