// The Setup tab's device chooser, remembered per Com in the window's
// settings file, and one program per controller: the window and brindle-cli
// on one pseudo-terminal (brindle-modsim), each refused while the other
// holds it, before sending a byte.
#include <unistd.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>
#include <chrono>
#include <thread>

#include "link/qt/qt_pump.h"
#include "link/qt/qt_serial_port.h"
#include "store/databases.h"
#include "tests/app/window_fixture.h"
#include "tests/e2e/modsim_process.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"

using namespace brindle;
using testing::WindowFixture;

namespace {

const char* const kById = "/dev/serial/by-id/usb-Maker_Adapter_A1-if00-port0";

std::vector<link::SerialPortEntry> oneAdapter() {
    link::SerialPortEntry adapter;
    adapter.device = "/dev/ttyUSB7";
    adapter.byId = kById;
    adapter.description = "USB UART";
    return {adapter};
}

void waitForBytes(const std::string& file, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (testing::readBytes(file).size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

class PortChoiceWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void aChoiceIsRememberedPerComInTheSettingsFileAndComesBack() {
        WindowFixture f;
        QSettings settings(QString::fromStdString(f.file("window.ini")), QSettings::IniFormat);
        f.layoutSettings = &settings;
        f.portLister = oneAdapter;
        auto& setup = f.open().setupTab();
        setup.ComOpt[1]->click();
        // No choice yet: the program's rule, shown as the first entry.
        QCOMPARE(setup.ComDevice->currentIndex(), 0);
        QCOMPARE(setup.ComDevice->currentChoice(), std::string());

        setup.ComDevice->setCurrentIndex(2);
        Q_EMIT setup.ComDevice->activated(2);
        QCOMPARE(settings.value("Ports/Com2").toString(), QString::fromLatin1(kById));
        QCOMPARE(f.window->state().ComChoices[1], std::string(kById));
        QVERIFY(!settings.contains("Ports/Com1"));
        // "ZrtCfg.Dat" keeps its 43 bytes: only the port number changed.
        QCOMPARE(testing::readBytes(f.file("ZrtCfg.Dat")).size(), std::size_t{43});

        // Com1 shows its own (absent) choice; back on Com2 the adapter.
        setup.ComOpt[0]->click();
        QCOMPARE(setup.ComDevice->currentIndex(), 0);
        setup.ComOpt[3]->click();
        setup.ComDevice->lineEdit()->setText("/tmp/typed-device");
        Q_EMIT setup.ComDevice->lineEdit()->editingFinished();
        QCOMPARE(settings.value("Ports/Com4").toString(), QStringLiteral("/tmp/typed-device"));
        setup.ComOpt[1]->click();
        QCOMPARE(setup.ComDevice->currentChoice(), std::string(kById));

        // A new window on the same settings: Com2 comes back with its device.
        f.window.reset();
        auto& again = f.open().setupTab();
        QVERIFY(again.ComOpt[1]->isChecked());
        QCOMPARE(again.ComDevice->currentChoice(), std::string(kById));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        // The end of the name shows, where by-id names differ.
        QCOMPARE(again.ComDevice->lineEdit()->cursorPosition(),
                 again.ComDevice->lineEdit()->text().size());
        QCOMPARE(f.window->state().ComChoices[3], std::string("/tmp/typed-device"));
        // The program's folder, then no choice again: the key goes.
        again.ComDevice->setCurrentIndex(1);
        Q_EMIT again.ComDevice->activated(1);
        QCOMPARE(settings.value("Ports/Com2").toString(), QStringLiteral("program-folder"));
        again.ComDevice->setCurrentIndex(0);
        Q_EMIT again.ComDevice->activated(0);
        QVERIFY(!settings.contains("Ports/Com2"));
    }

    void theCliIsRefusedWhileTheWindowHoldsThePort() {
        link::qt::QtSerialPort port;
        link::qt::QtPump pump;
        WindowFixture f;
        testing::ModsimProcess sim({"--link", f.file("com1"), "--eeprom", f.file("ee.bin"), "--log",
                                    f.file("wire.bin"), "--baud", "38400"});
        f.open().attachLink(port, pump);
        f.window->downloadTab().receiveWindowActive->click();  // the first tick opens the port
        QTRY_VERIFY_WITH_TIMEOUT(port.PortOpen(), 3000);

        const std::string real = std::filesystem::canonical(f.file("com1")).string();
        testing::ChildProcess cli(
            {BRINDLE_CLI_PATH, "read", "--data", f.dir.path(), "--port", real},
            {{"XDG_CONFIG_HOME=" + f.file("cfg")}, {}, {}});
        const testing::ChildResult refused = cli.waitAtMost(20000);
        f.window.reset();
        QVERIFY(sim.stop());
        QCOMPARE(refused.status, 1);
        const std::string said = "the port " + real + " is in use by another program (process " +
                                 std::to_string(::getpid()) + ")";
        QVERIFY2(refused.err.find(said) != std::string::npos, refused.err.c_str());
        QCOMPARE(testing::readBytes(f.file("wire.bin")), std::string());
    }

    void theWindowIsRefusedWhileTheCliDownloads() {
        // The port and the pump outlive the window that uses them.
        link::qt::QtSerialPort port;
        link::qt::QtPump pump;
        WindowFixture f;
        testing::addMacro(f.dir.path(), "FIRST", "1 MA 1000\r\nMACRO 2");
        store::ComboRecord c;
        c.Name = "LINE 1";
        c.Sequence[0] = 1;
        QVERIFY(store::writeCombo(f.dir.path(), 1, c).ok());
        testing::ModsimProcess sim({"--link", f.file("com1"), "--eeprom", f.file("ee.bin"), "--log",
                                    f.file("wire.bin"), "--baud", "9600", "--write-time", "5"});
        f.open().attachLink(port, pump);
        testing::ChildProcess cli(
            {BRINDLE_CLI_PATH, "download", "--data", f.dir.path(), "--combo", "LINE 1"},
            {{"XDG_CONFIG_HOME=" + f.file("cfg")}, {}, {}});
        waitForBytes(f.file("wire.bin"), 9);
        const std::size_t before = testing::readBytes(f.file("wire.bin")).size();
        QVERIFY(before >= 9);

        auto& tab = f.window->downloadTab();
        tab.combinationChoice->setCurrentIndex(0);
        Q_EMIT tab.combinationChoice->activated(0);
        tab.downloadButton->click();
        const testing::ChildResult ran = cli.waitAtMost(20000);
        QVERIFY(sim.stop());
        QCOMPARE(ran.status, 0);
        QVERIFY(!f.prompter.messages.empty());
        const std::string& text = f.prompter.messages.back().text;
        QVERIFY2(text.rfind("A download failure occurred\n", 0) == 0, text.c_str());
        QVERIFY2(text.find(" is in use by another program (process " + std::to_string(cli.pid()) +
                           ")") != std::string::npos,
                 text.c_str());
        // The module holds the CLI's download, whole.
        QCOMPARE(testing::toHex(testing::readBytes(f.file("ee.bin")).substr(0, 4)),
                 std::string("00 00 01 58"));
    }
};

QTEST_MAIN(PortChoiceWindowTest)
#include "port_choice_window_test.moc"
