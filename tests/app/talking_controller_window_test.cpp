// A controller that talks, with "Receive Window Active" ticked: Download,
// Execute Block and Cancel Exec wake it and finish, the receive window shows
// what it said; Cancel during the quiet probe, the wake-up or the
// synchronisation ends the run before anything is written; a controller that
// answers no wake-up is given up after four.
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "tests/app/link_window_fixture.h"

using brindle::base::Icon;
using brindle::testing::entries;
using brindle::testing::hexBytes;
using brindle::testing::LinkWindowFixture;

namespace {

brindle::sim::ModuleOptions controller(bool talks, brindle::sim::SyncReply reply) {
    brindle::sim::ModuleOptions o;
    o.chatterAtStart = talks;
    o.syncReply = reply;
    return o;
}

enum class Button { Download, ExecuteBlock, CancelExec };

}  // namespace

class TalkingControllerWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { m_rig.reset(); }

    void eachOperationWakesTheControllerAndFinishes_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("command");
        QTest::newRow("Download") << int(Button::Download) << "Download successful"
                                  << "";
        QTest::newRow("Execute Block") << int(Button::ExecuteBlock) << "Execute Command Successful"
                                       << "23 07 04 53 01 5F 0D";
        QTest::newRow("Cancel Exec") << int(Button::CancelExec) << "Cancel Command Successful"
                                     << "23 41 04 53 00 98 0D";
    }
    void eachOperationWakesTheControllerAndFinishes() {
        QFETCH(int, button);
        QFETCH(QString, message);
        QFETCH(QString, command);
        prepare(controller(true, brindle::sim::SyncReply::Frame));
        const int64_t start = m_rig->pump.nowMicros();
        press(Button(button));
        QCOMPARE(m_rig->prompter().messages.back().text, message.toStdString());
        QVERIFY(m_rig->pump.nowMicros() - start < 10'000'000);
        const std::string& sent = m_rig->module.received();
        QCOMPARE(sent.substr(0, 2), std::string("\r\r"));
        if (Button(button) == Button::Download) {
            QCOMPARE(m_rig->eeprom(3, 1), std::string("X"));
        } else {
            QCOMPARE(brindle::testing::toHex(sent.substr(2)), command.toStdString());
        }
        // The chatter, then the answer to the wake-up, each once and in order.
        const QStringList shown = entries(m_rig->tab().receiveWindowLines);
        QVERIFY(shown.size() >= 2);
        for (int i = 0; i < shown.size() - 1 && shown[i].startsWith("STATUS"); ++i) {
            QCOMPARE(shown[i], QStringLiteral("STATUS %1<cr>").arg(i, 4, 10, QChar('0')));
        }
        QVERIFY(shown.contains(QString::fromLatin1(hexBytes("23 4D 03 58 A8").c_str()) + "<cr>"));
    }

    void cancelBeforeTheFirstWriteWritesNothing_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("talks");
        QTest::addColumn<bool>("afterWakeUp");
        QTest::addColumn<QString>("message");
        const QString download =
            "The download was cancelled before anything was written to the "
            "Macro Module.";
        const QString block = "The block command was cancelled before it was sent.";
        for (const auto& [name, b, text] :
             {std::tuple{"Download", Button::Download, download},
              std::tuple{"Execute Block", Button::ExecuteBlock, block},
              std::tuple{"Cancel Exec", Button::CancelExec, block}}) {
            QTest::newRow((std::string(name) + ", quiet probe").c_str())
                << int(b) << false << false << text;
            QTest::newRow((std::string(name) + ", talking probe").c_str())
                << int(b) << true << false << text;
            QTest::newRow((std::string(name) + ", synchronisation").c_str())
                << int(b) << true << true << text;
        }
    }
    void cancelBeforeTheFirstWriteWritesNothing() {
        QFETCH(int, button);
        QFETCH(bool, talks);
        QFETCH(bool, afterWakeUp);
        QFETCH(QString, message);
        prepare(controller(talks, brindle::sim::SyncReply::None));
        bool pressed = false;
        auto cancel = [&] { pressed = m_rig->tab().pressCancel(); };
        if (afterWakeUp) {
            m_rig->pump.setIdleHook([&] {
                if (!pressed && m_rig->module.received() == "\r\r") {
                    cancel();
                }
            });
        } else {
            // Before the chatter's first line, or well inside a quiet probe.
            m_rig->pump.schedule(m_rig->pump.nowMicros() + (talks ? 5'000 : 300'000), cancel);
        }
        press(Button(button));
        QVERIFY(pressed);
        QCOMPARE(m_rig->module.received(), std::string(afterWakeUp ? "\r\r" : ""));
        QCOMPARE(m_rig->prompter().messages.back().text, message.toStdString());
        QCOMPARE(m_rig->eeprom(3, 1), std::string("\xFF"));
        QVERIFY(m_rig->tab().downloadButton->isEnabled());
    }

    void aControllerThatAnswersNoWakeUpIsGivenUpAfterFour() {
        prepare(controller(true, brindle::sim::SyncReply::None));
        press(Button::Download);
        QCOMPARE(m_rig->module.received(), std::string(8, '\r'));
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("The controller is talking but does not answer the wake-up (CR CR, "
                             "sent 4 times). Nothing was written to the Macro Module."));
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Critical);
    }

  private:
    void prepare(brindle::sim::ModuleOptions options) {
        m_rig = std::make_unique<LinkWindowFixture>(std::move(options));
        const int32_t first = m_rig->addMacro("FIRST", "1 MA 5");
        m_rig->addCombo("LINE", {{0, first}}, 7, 0);
        m_rig->module.eeprom()[0] = 7;
        m_rig->open();
        m_rig->chooseCombination(0);
        m_rig->window().state().NotifyExecute = true;
        m_rig->tab().MacrosInCombination->setCurrentRow(0);
        m_rig->tab().receiveWindowActive->setChecked(true);
    }
    void press(Button button) {
        auto& tab = m_rig->tab();
        QPushButton* b = button == Button::Download       ? tab.downloadButton
                         : button == Button::ExecuteBlock ? tab.ExecuteBlock
                                                          : tab.CancelExec;
        b->click();
    }

    std::unique_ptr<LinkWindowFixture> m_rig;
};

QTEST_MAIN(TalkingControllerWindowTest)
#include "talking_controller_window_test.moc"
