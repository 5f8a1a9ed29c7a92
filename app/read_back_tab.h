#pragma once
// The "Read back" tab: the E2PROM text read from the Macro Module and the
// three header bytes, with the buttons that read, clear and save them.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/operation_host.h"
#include "contents/module_contents.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace brindle::app {

class WidgetReadBackView;

class ReadBackTab : public QWidget {
    Q_OBJECT
  public:
    explicit ReadBackTab(OperationHost& host);
    ~ReadBackTab() override;

    // "Convert Status Arguments to HEX": every download ticks it.
    bool convertStatusArguments() const;
    void setConvertStatusArguments(bool ticked);

    // The user left the tab: the header fields and their captions go.
    void leaveTab();

    // The text Text1 shows, one byte per character, as Save to File writes it.
    std::string e2promText() const;

    // Esc: presses Cancel while a read offers it; false when none does.
    bool pressCancel();

    // Asks for the file to save to; an empty name means none was chosen.
    // A save dialog unless replaced (tests answer it themselves).
    std::function<QString()> askFileName;
    // The same for Save Image: ".hex" saves Intel HEX, any other name a raw
    // 32 KiB image.
    std::function<QString()> askImageFileName;

    // The controls, by their control names.
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* SaveCmd = nullptr;
    // Saves the module's contents as a backup, from the last read or a new one.
    QPushButton* SaveImageCmd = nullptr;
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

  private:
    void buildWidgets();
    void connectHandlers();

    void onCommand1Clicked();
    void onCommand2Clicked();
    void onSaveCmdClicked();
    void onSaveImageCmdClicked();
    // A backup read; true when m_image holds what the module holds now.
    bool readImage();
    void onReadCancelCmdClicked();

    OperationHost& m_host;
    std::unique_ptr<WidgetReadBackView> m_view;
    std::optional<contents::ModuleContents> m_image;
    // operationsStarted() right after the read that gave m_image.
    int m_imageReadAt = -1;
};

}  // namespace brindle::app
