#include "app/specify_tab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/text_conversion.h"
#include "app/widget_factory.h"

namespace brindle::app {

namespace {

QLineEdit* makeField(const char* name, const char* tip) {
    auto* field = named(new QLineEdit, name);
    field->setToolTip(QString::fromLatin1(tip));
    return field;
}

}  // namespace

SpecifyTab::SpecifyTab() {
    buildWidgets();
}

void SpecifyTab::listCombinations(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        ComboList->addItem(toQt(name));
    }
    ComboList->setCurrentIndex(-1);
}

void SpecifyTab::listMacros(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        MacroList->addItem(toQt(name));
    }
    MacroList->setCurrentIndex(-1);
}

void SpecifyTab::buildWidgets() {
    ComboList = makeEditableList("ComboList");
    MacroList = makeEditableList("MacroList");
    MacroComboList = named(new QListWidget, "MacroComboList");
    MacroComboList->setToolTip(QStringLiteral("Click on Macro to Preview or edit the Macro"));
    MacroText = named(new QPlainTextEdit, "MacroText");
    MacroSizeLabel = named(new QLabel, "MacroSizeLabel");
    VersionText = makeField("VersionText", "Optional");
    DescriptionText = makeField("DescriptionText", "Optional");
    StartingMacroNum =
        makeField("StartingMacroNum", "Macro to be performed after power up (0-none)");
    NodeAddress = makeField("NodeAddress", "Address of ZRT Host");
    NewComboCmd =
        makeButton("NewComboCmd", "New Combination", "Click to creat a new Macro Combination");
    NewMacroCmd = makeButton("NewMacroCmd", "New Macro", "Click to create a new Macro");
    SaveComboCmd = makeButton("SaveComboCmd", "Save Combination");
    SaveMacroCmd = makeButton("SaveMacroCmd", "Save Macro");
    InsertAddCmd = makeButton("InsertAddCmd", "Insert/Add To Combo Combination Sequence",
                              "Always save the Combination selected to insert a new macro");
    DeleteMacroLink = makeButton("DeleteMacroLink", "Delete Macro Link");
    DeleteCombo = makeButton("DeleteCombo", "Delete Combination");
    DeleteMacro = makeButton("DeleteMacro", "Delete Macro");

    // Left: the combination and its sequence; right: the macro.
    auto* combo = new QGridLayout;
    combo->addWidget(makeLabel("Select Macro Combination", ComboList, "Label8"), 0, 0, 1, 2);
    combo->addWidget(ComboList, 1, 0, 1, 2);
    combo->addWidget(makeLabel("Version", VersionText, "Label13"), 2, 0);
    combo->addWidget(VersionText, 2, 1);
    combo->addWidget(makeLabel("Description", DescriptionText, "Label14"), 3, 0);
    combo->addWidget(DescriptionText, 3, 1);
    combo->addWidget(makeLabel("Starting Macro #", StartingMacroNum, "Label15"), 4, 0);
    combo->addWidget(StartingMacroNum, 4, 1);
    combo->addWidget(makeLabel("Node Address", NodeAddress, "Label16"), 5, 0);
    combo->addWidget(NodeAddress, 5, 1);
    combo->addWidget(makeLabel("Macro Sequence in Combination", MacroComboList, "Label10"), 6, 0, 1,
                     2);
    combo->addWidget(MacroComboList, 7, 0, 1, 2);
    auto* comboButtons = new QGridLayout;
    comboButtons->addWidget(NewComboCmd, 0, 0);
    comboButtons->addWidget(SaveComboCmd, 0, 1);
    comboButtons->addWidget(DeleteCombo, 1, 0);
    comboButtons->addWidget(DeleteMacroLink, 1, 1);
    comboButtons->addWidget(InsertAddCmd, 2, 0, 1, 2);
    combo->addLayout(comboButtons, 8, 0, 1, 2);

    auto* macro = new QVBoxLayout;
    macro->addWidget(makeLabel("Select Macro", MacroList, "Label11"));
    macro->addWidget(MacroList);
    macro->addWidget(makeLabel("Selected Macro Text", MacroText, "Label12"));
    macro->addWidget(MacroText, 1);
    macro->addWidget(MacroSizeLabel);
    auto* macroButtons = new QHBoxLayout;
    macroButtons->addWidget(NewMacroCmd);
    macroButtons->addWidget(SaveMacroCmd);
    macroButtons->addWidget(DeleteMacro);
    macro->addLayout(macroButtons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(combo, 1);
    layout->addLayout(macro, 1);
}

}  // namespace brindle::app
