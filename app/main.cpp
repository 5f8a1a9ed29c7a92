// brindle: the window. The data files live in the program's own folder.
#include <QApplication>

#include "app/main_window.h"
#include "app/text_conversion.h"
#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The serial port and the receive timer outlive the window that uses them.
    brindle::link::qt::QtSerialPort port;
    brindle::link::qt::QtPump pump;
    brindle::app::MainWindow window(
        brindle::app::pathFromQt(QCoreApplication::applicationDirPath()));
    window.attachLink(port, pump);
    window.show();
    return application.exec();
}
