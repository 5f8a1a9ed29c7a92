#pragma once
// The Read back tab's controls, which its read-back view shows the read in.
// The tab is one; the view sees it only as this.

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace brindle::app {

struct ReadBackTabControls {
    // The controls, by their control names.
    QPushButton* readE2promButton = nullptr;
    QPushButton* clearAllButton = nullptr;
    QPushButton* saveToFileButton = nullptr;
    // Saves the module's contents as a backup, from the last read or a new one.
    QPushButton* saveImageButton = nullptr;
    QCheckBox* convertStatusArgumentsBox = nullptr;
    QTextEdit* e2promTextBox = nullptr;
    QLineEdit* macroIdBox = nullptr;
    QLineEdit* bootMacroBox = nullptr;
    QLineEdit* macroCountBox = nullptr;
    QLabel* macroIdLabel = nullptr;
    QLabel* bootMacroLabel = nullptr;
    QLabel* macroCountLabel = nullptr;
    QLabel* readingNote = nullptr;
    // Shown with readingNote: ends the read.
    QPushButton* readCancelButton = nullptr;
};

}  // namespace brindle::app
