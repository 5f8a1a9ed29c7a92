// The several-port dialog offered the device the window itself holds open:
// its line there found the port "in use by another program", that program
// being this one. The window now lets go of its device while the dialog is
// open and opens it again afterwards. Against brindle-modsim on a
// pseudo-terminal, through the real port and timer adapters.
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "app/gang_download_dialog.h"
#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "tests/app/window_fixture.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/library_builder.h"

using namespace brindle;

class SeveralPortsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void theWindowsOwnDeviceIsFreeForTheDialogAndOpenAgainAfterIt() {
        testing::WindowFixture fixture;
        testing::ModsimProcess module(testing::modsimOptionsIn(fixture.file("")));
        const int32_t home = testing::addMacro(fixture.dir.path(), "HOME", testing::kWorkedExample);
        testing::addCombo(fixture.dir.path(), "ONE", {{0, home}}, 2, 1);
        link::qt::QtSerialPort port;
        link::qt::QtPump pump;
        app::MainWindow& window = fixture.open();
        window.attachLink(port, pump);
        // The receive window's first tick opens the device and keeps it.
        window.downloadTab().receiveWindowActive->click();
        QTRY_VERIFY_WITH_TIMEOUT(port.PortOpen(), 5000);
        window.downloadTab().combinationChoice->setCurrentIndex(0);

        const std::string device = fixture.file("com1");
        QString result;
        bool openDuringDialog = true;
        QTimer::singleShot(0, [&] {
            auto* dialog =
                qobject_cast<app::GangDownloadDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            openDuringDialog = port.PortOpen();
            const auto items =
                dialog->GangPorts->findItems(QString::fromStdString(device), Qt::MatchExactly);
            QCOMPARE(items.size(), 1);
            items[0]->setCheckState(Qt::Checked);
            QTest::mouseClick(dialog->GangStart, Qt::LeftButton);
            dialog->waitForGang();
            result = dialog->GangTable->item(0, 2)->text();
            dialog->accept();
        });
        window.downloadTab().gangDownloadButton->click();

        QCOMPARE(result, QStringLiteral("Download successful"));
        QVERIFY(!openDuringDialog);
        QTRY_VERIFY_WITH_TIMEOUT(port.PortOpen(), 5000);
        QVERIFY(!window.link()->Synched_Up);
        fixture.window.reset();  // the window goes before its port and timer
    }
};

QTEST_MAIN(SeveralPortsWindowTest)
#include "several_ports_window_test.moc"
