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
    // Shown with ReadingMsg: ends the read.
    QPushButton* ReadCancelCmd = nullptr;
};

}  // namespace brindle::app
