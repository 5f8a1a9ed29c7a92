#pragma once
// The controls of the four tabs, by their established names, and the
// functions that build each tab. A builder only creates and lays out the
// controls (captions, tool tips, start visibility); the window connects the
// handlers.
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QWidget;

namespace brindle::app {

class DriveList;
class FileList;
class FolderList;

struct SpecifyTab {
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
};

struct ReadBackTab {
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* SaveCmd = nullptr;
    QCheckBox* StatArgument = nullptr;
    QTextEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label23 = nullptr;
    QLabel* ReadingMsg = nullptr;
};

struct DownloadTab {
    QComboBox* CustomList = nullptr;
    QListWidget* MacrosInCombination = nullptr;
    QPushButton* QuickCmd = nullptr;
    QPushButton* ExecuteBlock = nullptr;
    QPushButton* CancelExec = nullptr;
    QCheckBox* Check1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* ClearHistory = nullptr;
    QCheckBox* TransposeToHex = nullptr;
    QGroupBox* ProgressFrame = nullptr;
    QPushButton* CancelCmd = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* MacroBytes = nullptr;
    QLabel* RetryLabel = nullptr;
    QLabel* PercentCaption = nullptr;
    QLabel* Label6 = nullptr;
    QGroupBox* ClearFrame = nullptr;
    QLineEdit* LowerFill = nullptr;
    QLineEdit* UpperFill = nullptr;
    QPushButton* QueryResetCmd = nullptr;
};

struct SetupTab {
    QComboBox* PostWriteDelay = nullptr;
    QComboBox* PostReadDelay = nullptr;
    QCheckBox* EnableClearUtility = nullptr;
    DriveList* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    QComboBox* Pattern = nullptr;
    QGroupBox* SelectBaudRate = nullptr;
    std::array<QRadioButton*, 5> BaudOpt{};
    QGroupBox* SelectComPort = nullptr;
    std::array<QRadioButton*, 4> ComOpt{};
};

QWidget* buildSpecifyTab(SpecifyTab& tab);
QWidget* buildReadBackTab(ReadBackTab& tab);
QWidget* buildDownloadTab(DownloadTab& tab);
QWidget* buildSetupTab(SetupTab& tab);

}  // namespace brindle::app
