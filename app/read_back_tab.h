#pragma once
// The "Read back" tab: the E2PROM text read from the Macro Module and the
// three header bytes, with the buttons that read, clear and save them.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace brindle::app {

class ReadBackTab : public QWidget {
    Q_OBJECT
  public:
    ReadBackTab();

    // "Convert Status Arguments to HEX": every download ticks it.
    bool convertStatusArguments() const;
    void setConvertStatusArguments(bool ticked);

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

  private:
    void buildWidgets();
};

}  // namespace brindle::app
