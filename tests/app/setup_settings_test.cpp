// The Setup tab's settings through the widgets: the delay selectors and the
// speed and port options, each checked byte for byte in "ZrtCfg.Dat".
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>

// The fake module has a member named emit, which Qt's keyword macro would
// rewrite: hide the macro while its header is read.
#pragma push_macro("emit")
#undef emit
#include "sim/fake_module.h"
#pragma pop_macro("emit")
#include "sim/virtual_pump.h"
#include "tests/app/window_fixture.h"

using brindle::base::Icon;
using brindle::testing::kDefaultConfigHex;
using brindle::testing::readBytes;
using brindle::testing::WindowFixture;

namespace {

// The default record up to the read delay, and the bytes after it.
const std::string kThroughReserved =
    "01 00 00 96 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";

std::string withWriteDelay(const std::string& hex) {
    return kThroughReserved + " 01 00 00 00 " + hex;
}

std::string withReadDelay(const std::string& hex) {
    return kThroughReserved + " " + hex + " 00 00 01 00";
}

// Replaces the selector's text the way a user does: select all, then type.
void typeInto(QComboBox* selector, const QString& text) {
    selector->lineEdit()->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(selector->lineEdit(), Qt::Key_Backspace);
    } else {
        QTest::keyClicks(selector->lineEdit(), text);
    }
}

void finishEditing(QComboBox* selector) {
    QTest::keyClick(selector->lineEdit(), Qt::Key_Return);
}

// What the toolkit does when the user picks an entry from the drop-down.
void chooseEntry(QComboBox* selector, int entry) {
    selector->setCurrentIndex(entry);
    emit selector->activated(entry);
}

}  // namespace

class SetupSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_fixture = std::make_unique<WindowFixture>();
        m_fixture->open();
        // With a port attached and already started, every port start-up
        // reopens it: the opens count them.
        m_fixture->window->attachLink(m_port, m_pump);
        m_fixture->window->link()->StartComm = true;
        m_opensBefore = m_port.opens();
    }
    void cleanup() { m_fixture.reset(); }

    int portInitialisations() const { return m_port.opens() - m_opensBefore; }

    void typingIntoPostWriteDelayStoresItsNumericValue_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("bytes");
        QTest::addColumn<int>("copy");
        QTest::newRow("7") << "7"
                           << "07 00" << 7;
        QTest::newRow("abc") << "abc"
                             << "00 00" << 0;
        QTest::newRow("2.5 rounds to even") << "2.5"
                                            << "02 00" << 2;
        QTest::newRow("3.5 rounds to even") << "3.5"
                                            << "04 00" << 4;
        QTest::newRow("-3") << "-3"
                            << "FD FF" << -3;
        QTest::newRow("7ms") << "7ms"
                             << "07 00" << 7;
        QTest::newRow("empty") << ""
                               << "00 00" << 0;
        QTest::newRow("blanks inside") << " 1 2"
                                       << "0C 00" << 12;
        QTest::newRow("hexadecimal") << "&H10"
                                     << "10 00" << 16;
        QTest::newRow("largest") << "32767"
                                 << "FF 7F" << 32767;
    }

    void typingIntoPostWriteDelayStoresItsNumericValue() {
        QFETCH(QString, typed);
        QFETCH(QString, bytes);
        QFETCH(int, copy);
        auto& w = *m_fixture->window;
        typeInto(w.setupTab().PostWriteDelay, typed);
        QCOMPARE(w.setupTab().PostWriteDelay->currentText(), typed);
        QCOMPARE(m_fixture->configHex(), withWriteDelay(bytes.toStdString()));
        QCOMPARE(w.state().PostWriteDelayMs, int16_t(copy));
        QCOMPARE(w.state().ConfigRecord.WriteDelayMs, int16_t(copy));
        QCOMPARE(w.state().PostReadDelayMs, int16_t{1});
        finishEditing(w.setupTab().PostWriteDelay);
        QVERIFY(m_fixture->prompter.messages.empty());
        QCOMPARE(m_fixture->configHex(), withWriteDelay(bytes.toStdString()));
    }

    void typingIntoPostReadDelayStoresTheReadDelay() {
        auto& w = *m_fixture->window;
        typeInto(w.setupTab().PostReadDelay, QStringLiteral("7"));
        QCOMPARE(m_fixture->configHex(), withReadDelay("07 00"));
        QCOMPARE(w.state().PostReadDelayMs, int16_t{7});
        QCOMPARE(w.state().PostWriteDelayMs, int16_t{1});
    }

    void aDelayOutsideSixteenBitsIsRefusedWithOneMessage() {
        auto& w = *m_fixture->window;
        QComboBox* selector = w.setupTab().PostWriteDelay;
        typeInto(selector, QStringLiteral("7"));
        // Pasted at once: one change, refused.
        selector->lineEdit()->selectAll();
        selector->lineEdit()->insert(QStringLiteral("40000"));
        QCOMPARE(m_fixture->configHex(), withWriteDelay("07 00"));
        QCOMPARE(w.state().PostWriteDelayMs, int16_t{7});
        QCOMPARE(w.state().ConfigRecord.WriteDelayMs, int16_t{7});
        QVERIFY(m_fixture->prompter.messages.empty());

        finishEditing(selector);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        const auto& shown = m_fixture->prompter.messages.front();
        QVERIFY2(shown.text.find("40000") != std::string::npos, shown.text.c_str());
        QCOMPARE(shown.icon, Icon::Critical);
        QCOMPARE(shown.title, std::string("Brindle"));
        // The box shows the stored value again; nothing else is written.
        QCOMPARE(selector->currentText(), QStringLiteral("7"));
        QCOMPARE(m_fixture->configHex(), withWriteDelay("07 00"));

        finishEditing(selector);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
    }

    void typingPastTheRangeKeepsTheLastAcceptedValueAndWarnsOnce() {
        auto& w = *m_fixture->window;
        QComboBox* selector = w.setupTab().PostWriteDelay;
        typeInto(selector, QStringLiteral("-400000"));
        // "-4000" was the last text in range; each refused keystroke stays quiet.
        QCOMPARE(m_fixture->configHex(), withWriteDelay("60 F0"));
        QVERIFY(m_fixture->prompter.messages.empty());
        finishEditing(selector);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        QCOMPARE(selector->currentText(), QStringLiteral("-4000"));
    }

    void aRefusalCorrectedBeforeEditingEndsShowsNothing() {
        auto& w = *m_fixture->window;
        QComboBox* selector = w.setupTab().PostReadDelay;
        typeInto(selector, QStringLiteral("99999"));
        QTest::keyClick(selector->lineEdit(), Qt::Key_Backspace);
        finishEditing(selector);
        QVERIFY(m_fixture->prompter.messages.empty());
        QCOMPARE(m_fixture->configHex(), withReadDelay("0F 27"));
    }

    void choosingAnEntryFromTheListStoresIt() {
        auto& w = *m_fixture->window;
        chooseEntry(w.setupTab().PostWriteDelay, 10);
        QCOMPARE(w.setupTab().PostWriteDelay->currentText(), QStringLiteral("10"));
        QCOMPARE(m_fixture->configHex(), withWriteDelay("0A 00"));
        QCOMPARE(w.state().PostWriteDelayMs, int16_t{10});
        chooseEntry(w.setupTab().PostReadDelay, 0);
        QCOMPARE(m_fixture->configHex(), kThroughReserved + " 00 00 00 00 0A 00");
        QVERIFY(m_fixture->prompter.messages.empty());
    }

    void choosingComThreeStoresPortThree() {
        auto& w = *m_fixture->window;
        w.setupTab().ComOpt[2]->click();
        QVERIFY(w.setupTab().ComOpt[2]->isChecked());
        QVERIFY(!w.setupTab().ComOpt[0]->isChecked());
        QCOMPARE(m_fixture->configHex(),
                 std::string("03 00") + std::string(kDefaultConfigHex).substr(5));
        QCOMPARE(w.state().ConfigRecord.PortNumber, int16_t{3});
        QCOMPARE(portInitialisations(), 1);
    }

    void choosingTheFastestSpeedStoresIt() {
        auto& w = *m_fixture->window;
        w.setupTab().BaudOpt[4]->click();
        QCOMPARE(m_fixture->configHex(),
                 "01 00 00 E1 00 00" + std::string(kDefaultConfigHex).substr(17));
        QCOMPARE(w.state().ConfigRecord.BaudRate, 57600);
        QCOMPARE(portInitialisations(), 1);
        // Choosing the option already chosen does nothing more.
        w.setupTab().BaudOpt[4]->click();
        QCOMPARE(portInitialisations(), 1);
    }

    void optionsRereadTheRecordAndRefreshBothDelayCopies() {
        auto& w = *m_fixture->window;
        // Another writer changed the file since start-up: read delay 5, write
        // delay 6, a reserved byte set.
        std::string bytes = readBytes(m_fixture->file("ZrtCfg.Dat"));
        bytes[6] = 'R';
        bytes[37] = 5;
        bytes[41] = 6;
        brindle::testing::writeBytes(m_fixture->file("ZrtCfg.Dat"), bytes);
        w.setupTab().ComOpt[1]->click();
        QCOMPARE(m_fixture->configHex(),
                 "02 00 00 96 00 00 52 "
                 "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                 "00 00 00 00 05 00 00 00 06 00");
        QCOMPARE(w.state().PostReadDelayMs, int16_t{5});
        QCOMPARE(w.state().PostWriteDelayMs, int16_t{6});
    }

    void aConfigurationThatCannotBeWrittenIsReported() {
        auto& w = *m_fixture->window;
        // A folder in the file's place makes every write fail, even for root.
        std::filesystem::remove(m_fixture->file("ZrtCfg.Dat"));
        std::filesystem::create_directory(m_fixture->file("ZrtCfg.Dat"));
        w.setupTab().ComOpt[3]->click();
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        QCOMPARE(m_fixture->prompter.messages[0].icon, Icon::Critical);
        QVERIFY(!m_fixture->prompter.messages[0].text.empty());
        QCOMPARE(portInitialisations(), 1);

        typeInto(w.setupTab().PostWriteDelay, QStringLiteral("3"));
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{1});
        QCOMPARE(w.state().PostWriteDelayMs, int16_t{1});
        finishEditing(w.setupTab().PostWriteDelay);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{2});
        QCOMPARE(m_fixture->prompter.messages[1].icon, Icon::Critical);
        QCOMPARE(w.setupTab().PostWriteDelay->currentText(), QStringLiteral("3"));
        finishEditing(w.setupTab().PostWriteDelay);
        QCOMPARE(m_fixture->prompter.messages.size(), std::size_t{2});
    }

  private:
    brindle::sim::VirtualPump m_pump;
    brindle::sim::FakeModule m_module{m_pump};
    brindle::sim::FakePort m_port{m_pump, m_module};
    std::unique_ptr<WindowFixture> m_fixture;
    int m_opensBefore = 0;
};

QTEST_MAIN(SetupSettingsTest)
#include "setup_settings_test.moc"
