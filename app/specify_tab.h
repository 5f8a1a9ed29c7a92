#pragma once
// The "Specify Macros" tab: the combination, sequence and macro editors. The
// handlers hand the form's values to the library's editor operations and show
// what they return; the Down Load tab learns of added and removed
// combinations through the two signals.
#include <QWidget>
#include <string>
#include <vector>

#include "app/operation_host.h"
#include "library/combination_editor.h"
#include "library/macro_editor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace brindle::app {

class SpecifyTab : public QWidget {
    Q_OBJECT
  public:
    explicit SpecifyTab(OperationHost& host);

    // Start-up: the stored names in file order, nothing chosen.
    void listCombinations(const std::vector<std::string>& names);
    void listMacros(const std::vector<std::string>& names);

    // The controls, by their control names.
    QComboBox* ComboList = nullptr;  // editable: a new combination is named by typing
    QComboBox* MacroList = nullptr;  // editable: a new macro is named by typing
    QListWidget* MacroComboList = nullptr;
    QPlainTextEdit* MacroText = nullptr;
    QLabel* MacroSizeLabel = nullptr;
    QLineEdit* VersionText = nullptr;
    QPlainTextEdit* DescriptionText = nullptr;
    QLineEdit* StartingMacroNum = nullptr;
    QLineEdit* NodeAddress = nullptr;
    QPushButton* NewComboCmd = nullptr;
    QPushButton* NewMacroCmd = nullptr;
    QPushButton* SaveComboCmd = nullptr;
    QPushButton* SaveMacroCmd = nullptr;
    QPushButton* InsertAddCmd = nullptr;
    QPushButton* DeleteMacroLink = nullptr;
    QPushButton* DeleteCombo = nullptr;
    QPushButton* DeleteMacro = nullptr;

  signals:
    // A 16-character combination name added to the end of ComboList.
    void combinationAdded(const std::string& name);
    // The entries of this 16-character name left ComboList.
    void combinationRemoved(const std::string& name);

  private:
    void buildWidgets();
    void connectHandlers();
    library::ComboForm comboForm() const;
    std::string macroName() const;
    void showEdit(const library::ComboEdit& edit);
    void showEdit(const library::MacroEdit& edit);

    void onComboListActivated(int index);
    void onNewComboCmdClicked();
    void onSaveComboCmdClicked();
    void onDeleteComboClicked();
    void onMacroListActivated(int index);
    void onNewMacroCmdClicked();
    void onSaveMacroCmdClicked();
    void onDeleteMacroClicked();
    void onInsertAddCmdClicked();
    void onDeleteMacroLinkClicked();
    void onMacroComboListClicked();

    OperationHost& m_host;
    // The stored texts the multi-line boxes were last filled with: an
    // unchanged box is saved as it came.
    std::string m_loadedMacroText;
    std::string m_loadedDescription;
};

}  // namespace brindle::app
