#pragma once
// The "Read back" tab: the E2PROM text read from the Macro Module and the
// three header bytes, with the buttons that read, clear and save them.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/operation_host.h"
#include "app/read_back_tab_controls.h"
#include "contents/module_contents.h"

namespace brindle::app {

class WidgetReadBackView;

class ReadBackTab : public QWidget, public ReadBackTabControls {
    Q_OBJECT
  public:
    explicit ReadBackTab(OperationHost& host);
    ~ReadBackTab() override;

    // "Convert Status Arguments to HEX": every download ticks it.
    void setConvertStatusArguments(bool ticked);

    // The user left the tab: the header fields and their captions go.
    void leaveTab();

    // The text e2promTextBox shows, one byte per character, as Save to File writes it.
    std::string e2promText() const;

    // Esc: presses Cancel while a read offers it; false when none does.
    bool pressCancel();

    // Asks for the file to save to; an empty name means none was chosen.
    // A save dialog unless replaced (tests answer it themselves).
    std::function<QString()> askFileName;
    // The same for Save Image: ".hex" saves Intel HEX, any other name a raw
    // 32 KiB image.
    std::function<QString()> askImageFileName;

#include "contents/module_contents.h"
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
