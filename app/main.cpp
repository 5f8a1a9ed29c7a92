// brindle: the window. The data files live in the program's own folder.
#include <QApplication>

#include "app/main_window.h"
#include "app/text_conversion.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    brindle::app::MainWindow window(
        brindle::app::pathFromQt(QCoreApplication::applicationDirPath()));
    window.show();
    return application.exec();
}
