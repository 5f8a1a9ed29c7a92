// brindle: the window, on the data folder of store/data_folder.h.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string_view>

#include "app/main_window.h"
#include "app/text_conversion.h"
#include "app/window_icon.h"
#include "base/version.h"
#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "link/qt/system_ports.h"
#include "store/data_folder.h"

int main(int argc, char* argv[]) {
    // The window takes no settings from its command line. --help and
    // --version are answered before anything needs a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            std::printf("brindle %s\n", brindle::base::kVersion);
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            std::printf(
                "Usage: brindle\n\nBrindle ZRT Download Utility: the macro library, the download\n"
                "into the Macro Module and the controller utilities, in one window. Its\n"
                "data files live in the program's own folder when that folder can be\n"
                "written, otherwise (an installed program) in $XDG_DATA_HOME/brindle,\n"
                "by default ~/.local/share/brindle. The Setup tab shows the folder.\n");
            return 0;
        }
    }
    QApplication application(argc, argv);
    QApplication::setWindowIcon(brindle::app::brindleIcon());
    // Ties the window to its desktop entry (org.brindle.Brindle.desktop).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.brindle.Brindle"));
    // The window's size, position and tab and the device chosen for each
    // Com, in the user's settings folder (normally
    // ~/.config/Brindle/brindle.ini); everything else lives in the data
    // folder.
    const auto layout = brindle::link::qt::windowSettings();
    // The serial port and the receive timer outlive the window that uses them.
    brindle::link::qt::QtSerialPort port;
    brindle::link::qt::QtPump pump;
    const brindle::base::Result<brindle::store::DataFolder> data = brindle::store::locateDataFolder(
        brindle::app::pathFromQt(QCoreApplication::applicationDirPath()));
    if (!data) {
        QMessageBox::critical(nullptr, QStringLiteral("Brindle"),
                              QString::fromLocal8Bit(data.message()));
        return 1;
    }
    brindle::app::WindowOptions options;
    options.layoutSettings = layout.get();
    options.installedHelpDocument = data->installedHelpDocument;
    brindle::app::MainWindow window(data->path, options);
    window.attachLink(port, pump);
    window.show();
    return application.exec();
}
