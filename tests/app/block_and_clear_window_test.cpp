// Execute Block, Cancel Exec and the clear utility on the Down Load tab,
// against the fake Macro Module on virtual time: the buttons each run
// disables, the frame it shows, the reminder, the clear frame's switch on
// the Setup tab, and closing during a run.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "app/setup_tab.h"
#include "tests/app/link_window_fixture.h"

using brindle::base::Icon;
using brindle::testing::LinkWindowFixture;
using brindle::testing::toHex;

namespace {

constexpr const char* kReminderTitle = "Confirm Code in E-PROM";

struct Enabled {
    bool downloadButton;
    bool ClearFrame;
    bool ExecuteBlock;
    bool CancelExec;
    bool operator==(const Enabled&) const = default;
};

Enabled enabled(const brindle::app::DownloadTab& tab) {
    return {tab.downloadButton->isEnabled(), tab.ClearFrame->isEnabled(),
            tab.ExecuteBlock->isEnabled(), tab.CancelExec->isEnabled()};
}

brindle::sim::ModuleOptions neverSyncing() {
    brindle::sim::ModuleOptions o;
    o.chatterAtStart = true;
    o.syncReply = brindle::sim::SyncReply::None;
    return o;
}

}  // namespace

class BlockAndClearWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { m_rig = std::make_unique<LinkWindowFixture>(); }
    void cleanup() { m_rig.reset(); }

    void executeBlockSendsThePositionShowsCancelAndRemindsOnce() {
        prepare();
        auto& tab = m_rig->tab();
        tab.MacrosInCombination->setCurrentRow(1);  // position 3
        bool seen = false;
        Enabled during{};
        bool frameDuring = false;
        bool barDuring = true;
        bool listDuring = true;
        m_rig->pump.setIdleHook([&] {
            if (!seen && !m_rig->module.received().empty()) {
                seen = true;
                during = enabled(tab);
                frameDuring = tab.ProgressFrame->isVisible();
                barDuring = tab.progressBar->isVisible();
                listDuring = tab.MacrosInCombination->isEnabled();
            }
        });
        tab.ExecuteBlock->click();
        QVERIFY(seen);
        QVERIFY((during == Enabled{false, false, false, false}));
        QVERIFY(frameDuring);
        QVERIFY(!barDuring);
        QVERIFY(!listDuring);
        QVERIFY((enabled(tab) == Enabled{true, true, true, true}));
        QVERIFY(tab.ProgressFrame->isHidden());
        QVERIFY(!tab.progressBar->isHidden());
        QVERIFY(tab.MacrosInCombination->isEnabled());
        QCOMPARE(toHex(m_rig->module.received()), std::string("23 07 04 53 03 61 0D"));
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{2});
        QCOMPARE(m_rig->prompter().messages[0].title, std::string(kReminderTitle));
        QCOMPARE(m_rig->prompter().messages[1].text, std::string("Execute Command Successful"));
        QVERIFY(m_rig->window().readBackTab().convertStatusArgumentsBox->isChecked());

        tab.ExecuteBlock->click();
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{3});
        QCOMPARE(m_rig->prompter().messages[2].text, std::string("Execute Command Successful"));

        // Choosing the combination again brings the reminder back.
        m_rig->chooseCombination(0);
        tab.MacrosInCombination->setCurrentRow(0);
        tab.ExecuteBlock->click();
        QCOMPARE(m_rig->prompter().messages[3].title, std::string(kReminderTitle));
        QCOMPARE(toHex(m_rig->module.received().substr(14)), std::string("23 07 04 53 01 5F 0D"));
    }

    void cancelExecGoesToNodeAAndUnticksTheReceiveWindow() {
        prepare();
        auto& tab = m_rig->tab();
        tab.receiveWindowActive->setChecked(true);
        tab.CancelExec->click();
        QCOMPARE(toHex(m_rig->module.received()), std::string("23 41 04 53 00 98 0D"));
        QCOMPARE(m_rig->prompter().messages.back().text, std::string("Cancel Command Successful"));
        QVERIFY(!tab.receiveWindowActive->isChecked());
        QVERIFY(!m_rig->window().link()->lines.ReceiveWindowTicked);
        QVERIFY(!m_rig->window().sharedSignals().ReceiveWindowActive);
    }

    // A port that cannot be opened: the messages say why, nothing is sent.
    void aPortThatCannotBeOpenedIsNamedInTheBlockAndClearMessages() {
        m_rig->port.setOpenFails(true);
        prepare();
        auto& tab = m_rig->tab();
        tab.CancelExec->click();
        const std::string why = "\nCom1: /dev/ttyS0 closed (cannot be opened)";
        QCOMPARE(m_rig->prompter().messages.back().text,
                 "A confirmation of block execution was not detected." + why);
        m_rig->window().setupTab().EnableClearUtility->setChecked(true);
        tab.LowerFill->setText(QStringLiteral("0"));
        tab.UpperFill->setText(QStringLiteral("3"));
        tab.clearEpromButton->click();
        QCOMPARE(m_rig->prompter().messages.back().text,
                 "Clear Program Process Unsuccessful " + why);
        QVERIFY(m_rig->module.received().empty());
    }

    void closingDuringTheWakeUpEndsTheRunWithoutSendingTheCommand() {
        m_rig = std::make_unique<LinkWindowFixture>(neverSyncing());
        prepare();
        bool asked = false;
        m_rig->pump.setIdleHook([&] {
            if (!asked && m_rig->module.received() == "\r\r") {
                asked = true;
                m_rig->window().close();
            }
        });
        m_rig->tab().CancelExec->click();
        QVERIFY(asked);
        QCOMPARE(m_rig->module.received(), std::string("\r\r"));
        QVERIFY(!m_rig->window().isVisible());
    }

    void theSetupBoxShowsTheClearFrameWithItsWarningAndHidesIt() {
        m_rig->open();
        auto& box = *m_rig->window().setupTab().EnableClearUtility;
        auto& frame = *m_rig->tab().ClearFrame;
        QVERIFY(frame.isHidden());
        box.setChecked(true);
        QVERIFY(!frame.isHidden());
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages[0].text,
                 std::string("Please Contact Technical Support before using this feature"));
        QCOMPARE(m_rig->prompter().messages[0].icon, Icon::Exclamation);
        box.setChecked(false);
        QVERIFY(frame.isHidden());
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
    }

    void okClearsTheRangeInTheProgressFrameWithDownloadAndClearDisabled() {
        m_rig->open();
        m_rig->window().setupTab().EnableClearUtility->setChecked(true);
        auto& tab = m_rig->tab();
        tab.LowerFill->setText(QStringLiteral("0"));
        tab.UpperFill->setText(QStringLiteral("3"));
        bool seen = false;
        Enabled during{};
        bool frameDuring = false;
        QString label6During;
        m_rig->pump.setIdleHook([&] {
            if (!seen && !m_rig->module.received().empty()) {
                seen = true;
                during = enabled(tab);
                frameDuring = tab.ProgressFrame->isVisible();
                label6During = tab.progressStatusLine->text();
            }
        });
        tab.clearEpromButton->click();
        QVERIFY((during == Enabled{false, false, true, true}));
        QVERIFY(frameDuring);
        QCOMPARE(label6During, QStringLiteral("Clearing .."));
        QVERIFY(tab.ProgressFrame->isHidden());
        QVERIFY((enabled(tab) == Enabled{true, true, true, true}));
        QCOMPARE(tab.PercentCaption->text(), QStringLiteral("    100 % Complete"));
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("Clear Program Process Successful! "));
        QCOMPARE(toHex(m_rig->eeprom(0, 5)), std::string("00 00 00 00 FF"));
        QCOMPARE(m_rig->module.received().size(), std::size_t{4 * 17});
        QVERIFY(!m_rig->window().state().QueryReset);
    }

  private:
    // Positions 1 and 3 of a combination for node 7, chosen for download;
    // the module answers as node 7.
    void prepare() {
        const int32_t first = m_rig->addMacro("FIRST", "1 MA 5");
        const int32_t third = m_rig->addMacro("THIRD", "2 MA 5");
        m_rig->addCombo("LINE", {{0, first}, {2, third}}, 7, 0);
        m_rig->module.eeprom()[0] = 7;
        m_rig->open();
        m_rig->chooseCombination(0);
    }

    std::unique_ptr<LinkWindowFixture> m_rig;
};

QTEST_MAIN(BlockAndClearWindowTest)
#include "block_and_clear_window_test.moc"
