#pragma once
// The "Specify Macros" tab: the combination, sequence and macro editors.
#include <QWidget>
#include <string>
#include <vector>

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
    SpecifyTab();

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
    QLineEdit* DescriptionText = nullptr;
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

  private:
    void buildWidgets();
};

}  // namespace brindle::app
