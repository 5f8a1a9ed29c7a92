#include "app/specify_tab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/fixed_width_font.h"
#include "app/text_conversion.h"
#include "app/widget_factory.h"
#include "base/text.h"
#include "library/sequence_editor.h"

namespace brindle::app {

namespace {

constexpr int kDescriptionLines = 3;

QLineEdit* makeField(const char* name, const char* tip) {
    auto* field = named(new QLineEdit, name);
    field->setToolTip(QString::fromLatin1(tip));
    return field;
}

// A multi-line box shows one line break for CR LF, a lone CR or a lone LF
// (the library decides what is stored back).
library::BoxText boxText(const QPlainTextEdit* box, const std::string& loaded) {
    // The raw text keeps every character (the plain text would turn a
    // no-break space into a blank); paragraphs end with U+2029.
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return {fromQt(text), loaded};
}

void setMultiLine(QPlainTextEdit* box, const std::string& bytes) {
    box->setPlainText(toQt(library::shownLineBreaks(bytes)));
}

// A name line shows a name without the blanks that fill its field.
void showName(QComboBox* list, const std::string& name) {
    list->setEditText(toQt(base::trimTrailingBlanks(name)));
}

// Adds an entry without touching what the text line shows (an empty
// QComboBox would make its first entry current).
void appendKeepingLine(QComboBox* list, const std::string& entry) {
    const QString line = list->currentText();
    const int index = list->currentIndex();
    const QSignalBlocker blocker(list);
    list->addItem(toQt(entry));
    list->setCurrentIndex(index);
    list->setEditText(line);
}

void removeKeepingLine(QComboBox* list, const std::string& entry) {
    const QString line = list->currentText();
    const QSignalBlocker blocker(list);
    for (int i = list->count() - 1; i >= 0; --i) {
        if (fromQt(list->itemText(i)) == entry) {
            list->removeItem(i);
        }
    }
    list->setCurrentIndex(-1);
    list->setEditText(line);
}

void fillKeepingLine(QComboBox* list, const std::vector<std::string>& entries) {
    const QString line = list->currentText();
    const QSignalBlocker blocker(list);
    list->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) {
        texts.append(toQt(entry));
    }
    list->addItems(texts);
    list->setCurrentIndex(-1);
    list->setEditText(line);
}

// Typing into the line leaves no entry chosen, so that the drop-down does not
// point at an entry other than the name being typed.
void forgetChoiceWhenTyping(QComboBox* list) {
    QObject::connect(list->lineEdit(), &QLineEdit::textEdited, list, [list](const QString& text) {
        if (list->currentIndex() < 0) {
            return;
        }
        const QSignalBlocker blocker(list);
        const int cursor = list->lineEdit()->cursorPosition();
        list->setCurrentIndex(-1);
        list->setEditText(text);
        list->lineEdit()->setCursorPosition(cursor);
    });
}

}  // namespace

SpecifyTab::SpecifyTab(OperationHost& host) : m_host(host) {
    buildWidgets();
    connectHandlers();
}

void SpecifyTab::listCombinations(const std::vector<std::string>& names) {
    fillKeepingLine(ComboList, names);
    ComboList->setEditText(QString());
}

void SpecifyTab::listMacros(const std::vector<std::string>& names) {
    fillKeepingLine(MacroList, names);
    MacroList->setEditText(QString());
}

void SpecifyTab::buildWidgets() {
    ComboList = makeEditableList("ComboList");
    MacroList = makeEditableList("MacroList");
    MacroComboList = named(new QListWidget, "MacroComboList");
    MacroComboList->setToolTip(QStringLiteral("Click on Macro to Preview or edit the Macro"));
    // Fixed width, so that the position fields of the lines line up.
    useFixedWidthFont(MacroComboList);
    MacroText = named(new QPlainTextEdit, "MacroText");
    useFixedWidthFont(MacroText);
    MacroText->setLineWrapMode(QPlainTextEdit::NoWrap);
    MacroSizeLabel = named(new QLabel, "MacroSizeLabel");
    // Room for the caption from the start, so that nothing moves when it appears.
    MacroSizeLabel->setMinimumHeight(MacroSizeLabel->fontMetrics().height());
    VersionText = makeField("VersionText", "Optional");
    DescriptionText = named(new QPlainTextEdit, "DescriptionText");
    DescriptionText->setToolTip(QStringLiteral("Optional"));
    DescriptionText->setTabChangesFocus(true);
    DescriptionText->setFixedHeight(
        DescriptionText->fontMetrics().lineSpacing() * kDescriptionLines +
        2 * DescriptionText->frameWidth() +
        static_cast<int>(2 * DescriptionText->document()->documentMargin()));
    StartingMacroNum =
        makeField("StartingMacroNum", "Macro to be performed after power up (0-none)");
    NodeAddress = makeField("NodeAddress", "Address of ZRT Host");
    NewComboCmd =
        makeButton("NewComboCmd", "&New Combination", "Click to creat a new Macro Combination");
    NewMacroCmd = makeButton("NewMacroCmd", "New &Macro", "Click to create a new Macro");
    SaveComboCmd =
        makeButton("SaveComboCmd", "&Save Combination",
                   "Store the combination named above with its fields and the listed sequence");
    SaveMacroCmd = makeButton("SaveMacroCmd", "Sa&ve Macro",
                              "Store the macro text under the name in Select Macro");
    InsertAddCmd = makeButton("InsertAddCmd", "&Insert/Add To Combo Combination Sequence",
                              "Always save the Combination selected to insert a new macro");
    DeleteMacroLink = makeButton("DeleteMacroLink", "Delete Macro Lin&k",
                                 "Remove the selected line from the combination's sequence");
    DeleteCombo = makeButton("DeleteCombo", "&Delete Combination",
                             "Delete the combination named in Select Macro Combination");
    DeleteMacro =
        makeButton("DeleteMacro", "De&lete Macro", "Delete the macro named in Select Macro");

    // Left: the combination and its sequence; right: the macro.
    auto* combo = new QGridLayout;
    combo->addWidget(makeLabel("Select Macro Combination", ComboList, "Label8"), 0, 0, 1, 2);
    combo->addWidget(ComboList, 1, 0, 1, 2);
    combo->addWidget(makeLabel("Version", VersionText, "Label13"), 2, 0);
    combo->addWidget(VersionText, 2, 1);
    combo->addWidget(makeLabel("Description", DescriptionText, "Label14"), 3, 0,
                     Qt::AlignLeft | Qt::AlignTop);
    combo->addWidget(DescriptionText, 3, 1);
    combo->addWidget(makeLabel("Starting Macro #", StartingMacroNum, "Label15"), 4, 0);
    combo->addWidget(StartingMacroNum, 4, 1);
    combo->addWidget(makeLabel("Node Address", NodeAddress, "Label16"), 5, 0);
    combo->addWidget(NodeAddress, 5, 1);
    combo->addWidget(makeLabel("Macro Sequence in Combination", MacroComboList, "Label10"), 6, 0, 1,
                     2);
    combo->addWidget(MacroComboList, 7, 0, 1, 2);
    combo->setRowStretch(7, 1);
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

void SpecifyTab::connectHandlers() {
    forgetChoiceWhenTyping(ComboList);
    forgetChoiceWhenTyping(MacroList);
    connect(ComboList, &QComboBox::activated, this,
            [this](int index) { onComboListActivated(index); });
    connect(NewComboCmd, &QPushButton::clicked, this, [this] { onNewComboCmdClicked(); });
    connect(SaveComboCmd, &QPushButton::clicked, this, [this] { onSaveComboCmdClicked(); });
    connect(DeleteCombo, &QPushButton::clicked, this, [this] { onDeleteComboClicked(); });
    connect(MacroList, &QComboBox::activated, this,
            [this](int index) { onMacroListActivated(index); });
    connect(NewMacroCmd, &QPushButton::clicked, this, [this] { onNewMacroCmdClicked(); });
    connect(SaveMacroCmd, &QPushButton::clicked, this, [this] { onSaveMacroCmdClicked(); });
    connect(DeleteMacro, &QPushButton::clicked, this, [this] { onDeleteMacroClicked(); });
    connect(InsertAddCmd, &QPushButton::clicked, this, [this] { onInsertAddCmdClicked(); });
    connect(DeleteMacroLink, &QPushButton::clicked, this, [this] { onDeleteMacroLinkClicked(); });
    // A click on a line, or moving to a line with the keyboard. The lists are
    // filled and selected by the program with their signals blocked, and a
    // mouse press that moves the current line waits for its click.
    connect(MacroComboList, &QListWidget::itemClicked, this, [this] { onMacroComboListClicked(); });
    connect(MacroComboList, &QListWidget::currentRowChanged, this, [this] {
        if (QGuiApplication::mouseButtons() == Qt::NoButton) {
            onMacroComboListClicked();
        }
    });
}

library::ComboForm SpecifyTab::comboForm() const {
    library::ComboForm form;
    form.ComboList = fromQt(ComboList->currentText());
    form.VersionText = fromQt(VersionText->text());
    form.DescriptionText = boxText(DescriptionText, m_loadedDescription).shown;
    form.StartingMacroNum = fromQt(StartingMacroNum->text());
    form.NodeAddress = fromQt(NodeAddress->text());
    for (int i = 0; i < MacroComboList->count(); ++i) {
        form.MacroComboList.push_back(fromQt(MacroComboList->item(i)->text()));
    }
    const QListWidgetItem* current = MacroComboList->currentItem();
    form.selectedLine = current && current->isSelected() ? MacroComboList->row(current) : -1;
    return form;
}

std::string SpecifyTab::macroName() const {
    return fromQt(MacroList->currentText());
}

void SpecifyTab::showEdit(const library::ComboEdit& edit) {
    if (edit.removedEntry) {
        removeKeepingLine(ComboList, *edit.removedEntry);
        emit combinationRemoved(*edit.removedEntry);
    }
    if (edit.addedEntry) {
        appendKeepingLine(ComboList, *edit.addedEntry);
        emit combinationAdded(*edit.addedEntry);
    }
    if (edit.ComboList) {
        ComboList->setEditText(toQt(*edit.ComboList));
    }
    if (edit.VersionText) {
        VersionText->setText(toQt(*edit.VersionText));
    }
    if (edit.DescriptionText) {
        setMultiLine(DescriptionText, *edit.DescriptionText);
        m_loadedDescription = *edit.DescriptionText;
    }
    if (edit.StartingMacroNum) {
        StartingMacroNum->setText(toQt(*edit.StartingMacroNum));
    }
    if (edit.NodeAddress) {
        NodeAddress->setText(toQt(*edit.NodeAddress));
    }
    if (edit.MacroComboList) {
        const QSignalBlocker blocker(MacroComboList);
        MacroComboList->clear();
        for (const std::string& line : *edit.MacroComboList) {
            MacroComboList->addItem(toQt(line));
        }
        if (edit.selectedLine >= 0 && edit.selectedLine < MacroComboList->count()) {
            MacroComboList->setCurrentRow(edit.selectedLine);
        } else {
            MacroComboList->setCurrentRow(-1);
        }
    }
    m_host.reportFailure(edit.failure);
}

void SpecifyTab::showEdit(const library::MacroEdit& edit) {
    if (edit.listEntries) {
        fillKeepingLine(MacroList, *edit.listEntries);
    }
    if (edit.addedEntry) {
        appendKeepingLine(MacroList, *edit.addedEntry);
    }
    if (edit.MacroList) {
        showName(MacroList, *edit.MacroList);
    }
    if (edit.MacroText) {
        setMultiLine(MacroText, *edit.MacroText);
        m_loadedMacroText = *edit.MacroText;
    }
    if (edit.MacroSizeLabel) {
        MacroSizeLabel->setText(toQt(*edit.MacroSizeLabel));
    }
    m_host.reportFailure(edit.failure);
}

void SpecifyTab::onComboListActivated(int index) {
    if (index >= 0) {
        const std::string entry = fromQt(ComboList->itemText(index));
        showName(ComboList, entry);
        showEdit(library::chooseCombination(m_host.state(), entry));
    }
}

void SpecifyTab::onNewComboCmdClicked() {
    showEdit(library::newCombination());
    ComboList->setFocus();
}

void SpecifyTab::onSaveComboCmdClicked() {
    showEdit(library::saveCombination(m_host.state(), comboForm(),
                                      boxText(DescriptionText, m_loadedDescription),
                                      m_host.prompter()));
}

void SpecifyTab::onDeleteComboClicked() {
    showEdit(library::deleteCombination(m_host.state(), fromQt(ComboList->currentText()),
                                        m_host.prompter()));
}

void SpecifyTab::onMacroListActivated(int index) {
    if (index >= 0) {
        const std::string entry = fromQt(MacroList->itemText(index));
        showName(MacroList, entry);
        showEdit(library::chooseMacro(m_host.state(), entry));
    }
}

void SpecifyTab::onNewMacroCmdClicked() {
    showEdit(library::newMacro());
    MacroList->setFocus();
}

void SpecifyTab::onSaveMacroCmdClicked() {
    showEdit(library::saveMacro(m_host.state(), macroName(), boxText(MacroText, m_loadedMacroText),
                                m_host.prompter()));
}

void SpecifyTab::onDeleteMacroClicked() {
    showEdit(library::deleteMacro(m_host.state(), macroName(), m_host.prompter()));
}

void SpecifyTab::onInsertAddCmdClicked() {
    showEdit(library::insertMacro(m_host.state(), comboForm(), macroName(), m_host.prompter()));
}

void SpecifyTab::onDeleteMacroLinkClicked() {
    showEdit(library::unlinkMacro(m_host.state(), comboForm(), m_host.prompter()));
}

void SpecifyTab::onMacroComboListClicked() {
    showEdit(library::previewSequenceLine(m_host.state(), comboForm()));
}

}  // namespace brindle::app
