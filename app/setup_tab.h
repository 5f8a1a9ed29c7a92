#pragma once
// The "Setup" tab: the two delay selectors, the speed and port options (all
// stored in "ZrtCfg.Dat" at once), the device chosen for the selected Com
// (kept with the window's settings), the clear utility's switch and the file
// browser.
#include <QStringList>
#include <QWidget>
#include <array>

#include "app/operation_host.h"
#include "app/port_chooser.h"
#include "store/config.h"
#include "store/delay_edit.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSettings;

namespace brindle::app {

class DriveList;
class FileList;
class FolderList;

// The drives the browser offers. Empty entries: the machine's own volumes.
struct DriveEntries {
    QStringList entries;
    int selected = 0;
};

class SetupTab : public QWidget {
    Q_OBJECT
  public:
    SetupTab(OperationHost& host, const DriveEntries& drives, PortLister portLister);

    // Where the device chosen for each Com is remembered (none: for this
    // run only).
    void rememberPortChoicesIn(QSettings* settings) { m_portSettings = settings; }

    // Start-up: the remembered drive, pattern and folder, then the stored
    // delays and the options of the stored port and speed.
    void restoreBrowser();
    void showConfiguration();
    // The folder of the databases and the configuration, in a caption.
    void showDataFolder(const std::string& folder);

    // The controls, by their control names.
    QComboBox* PostWriteDelay = nullptr;
    QComboBox* PostReadDelay = nullptr;
    QCheckBox* EnableClearUtility = nullptr;
    DriveList* driveList = nullptr;
    FolderList* folderList = nullptr;
    FileList* fileList = nullptr;
    QComboBox* Pattern = nullptr;
    QLabel* FolderPath = nullptr;  // the folder list's path, above it
    QLabel* DataFolder = nullptr;  // "Data folder: ..." under the settings
    QGroupBox* SelectBaudRate = nullptr;
    std::array<QRadioButton*, 5> BaudOpt{};
    QGroupBox* SelectComPort = nullptr;
    std::array<QRadioButton*, 4> ComOpt{};
    PortChooser* ComDevice = nullptr;  // the selected Com's device

  signals:
    // The clear utility's frame on the Down Load tab is to be shown or hidden.
    void clearFrameSwitched(bool visible);

  private:
    void buildWidgets(const DriveEntries& drives);
    void connectHandlers();
    void restoreDriveAndPattern();
    void restoreFolder();
    void showDelays();
    void selectPortOption();
    void selectSpeedOption();

    void onDelayTextChanged(store::DelayField field);
    void onDelayEntryChosen(store::DelayField field, int entry);
    void onDelayEditingFinished(store::DelayField field);
    void onBaudOptChosen(int index);
    void onComOptChosen(int index);
    void onComDeviceChosen(const std::string& choice);
    void showComDevice();
    // The file browser; the drive, folder and pattern-text handlers do
    // nothing until start-up has finished.
    void onDrive1Changed(int position);
    void onDir1Changed();
    void onPatternTextEdited();
    void onPatternActivated();
    void rememberPattern();
    void onEnableClearUtilityToggled(bool ticked);

    QComboBox* delaySelector(store::DelayField field) const;
    int16_t& delayCopy(store::DelayField field);

    OperationHost& m_host;
    store::DelayEdit m_delayEdit;
    bool m_settingDelayText = false;
    QSettings* m_portSettings = nullptr;
};

}  // namespace brindle::app
