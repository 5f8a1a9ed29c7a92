#pragma once
// One window on a fresh folder that is both the data folder and the current
// folder (where the remembered browser files live), with scripted messages.
#include <QDir>
#include <QSettings>
#include <QString>
#include <memory>
#include <string>

#include "app/download_tab.h"
#include "app/main_window.h"
#include "app/read_back_tab.h"
#include "app/specify_tab.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {

// "ZrtCfg.Dat" as start-up writes it in an empty folder: port 1, 38400
// (00 96 00 00), 31 reserved zero bytes, read delay 1, reserved word 0,
// write delay 1.
inline const char* const kDefaultConfigHex =
    "01 00 00 96 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "01 00 00 00 01 00";

class WindowFixture {
  public:
    WindowFixture() : m_previousFolder(QDir::currentPath()) {
        QDir::setCurrent(QString::fromStdString(dir.path()));
    }
    ~WindowFixture() {
        window.reset();
        QDir::setCurrent(m_previousFolder);
    }
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    app::MainWindow& open() {
        app::WindowOptions options;
        options.prompter = &prompter;
        options.drives = drives;
        options.portLister = portLister;
        options.layoutSettings = layoutSettings;
        window = std::make_unique<app::MainWindow>(dir.path(), options);
        return *window;
    }
    std::string file(const std::string& name) const { return dir.file(name); }
    std::string configHex() const { return toHex(readBytes(file("ZrtCfg.Dat"))); }

    TempDir dir;
    ScriptedPrompter prompter;
    // The volumes the Setup tab's browser offers (the machine's when empty).
    app::DriveEntries drives;
    // The serial ports the Setup tab offers (none, whatever the machine has).
    app::PortLister portLister = [] { return std::vector<link::SerialPortEntry>{}; };
    // Where the window remembers its place (nowhere when null).
    QSettings* layoutSettings = nullptr;
    std::unique_ptr<app::MainWindow> window;

  private:
    QString m_previousFolder;
};

}  // namespace brindle::testing
