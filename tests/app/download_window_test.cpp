// A whole download through the window: the combination chosen in CustomList,
// the Download button, the progress frame, Cancel and closing during the run,
// against the fake Macro Module on virtual time.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QtTest>

#include "link/frames.h"
#include "tests/app/link_window_fixture.h"

using brindle::base::Icon;
using brindle::testing::hexBytes;
using brindle::testing::LinkWindowFixture;
using brindle::testing::toHex;

namespace {

const std::string& kFirstText = brindle::testing::kWorkedExample;
const std::string& kFirstImage = brindle::testing::kWorkedExampleImage;
const std::string& kSecondText = brindle::testing::kSecondMacro;
const std::string& kSecondImage = brindle::testing::kSecondMacroImage;

// The enabled state of the controls a run disables, seen at one moment.
struct ButtonStates {
    bool QuickCmd = true;
    bool ClearFrame = true;
    bool ExecuteBlock = true;
    bool CancelExec = true;
    bool Check1 = true;
};

ButtonStates buttonStates(const brindle::app::DownloadTab& tab) {
    return {tab.QuickCmd->isEnabled(), tab.ClearFrame->isEnabled(), tab.ExecuteBlock->isEnabled(),
            tab.CancelExec->isEnabled(), tab.Check1->isEnabled()};
}

bool allEnabled(const ButtonStates& s) {
    return s.QuickCmd && s.ClearFrame && s.ExecuteBlock && s.CancelExec && s.Check1;
}

bool noneEnabled(const ButtonStates& s) {
    return !s.QuickCmd && !s.ClearFrame && !s.ExecuteBlock && !s.CancelExec && !s.Check1;
}

}  // namespace

class DownloadWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { m_rig = std::make_unique<LinkWindowFixture>(); }
    void cleanup() { m_rig.reset(); }

    void aWholeDownloadWritesHeaderTablesNamesAndImagesAndSaysSo() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        auto& tab = m_rig->tab();
        QCOMPARE(tab.MacrosInCombination->currentRow(), 1);  // the boot line, slot 3
        QVERIFY(!m_rig->window().readBackTab().StatArgument->isChecked());

        bool seenRunning = false;
        ButtonStates during;
        bool frameShownDuring = false;
        QString label6During;
        m_rig->pump.setIdleHook([&] {
            if (!seenRunning && m_rig->module.writesReceived() >= 3) {
                seenRunning = true;
                during = buttonStates(tab);
                frameShownDuring = tab.ProgressFrame->isVisible();
                label6During = tab.Label6->text();
            }
        });
        tab.QuickCmd->click();

        QCOMPARE(toHex(m_rig->eeprom(0, 4)), std::string("07 03 02 58"));
        QCOMPARE(toHex(m_rig->eeprom(16, 6)), std::string("0E 02 FF FF 0E 1A"));
        QCOMPARE(m_rig->eeprom(526, 12), std::string("FIRST       "));
        QCOMPARE(m_rig->eeprom(538, 12), std::string(12, '\xFF'));
        QCOMPARE(m_rig->eeprom(550, 12), std::string("SECOND      "));
        QCOMPARE(toHex(m_rig->eeprom(3586, 24)), toHex(kFirstImage));
        QCOMPARE(toHex(m_rig->eeprom(3610, 14)), toHex(kSecondImage));

        const auto& messages = m_rig->prompter().messages;
        QCOMPARE(messages.size(), std::size_t{1});
        QCOMPARE(messages.back().text, std::string("Download successful"));
        QCOMPARE(messages.back().icon, Icon::Information);

        QVERIFY(seenRunning);
        QVERIFY(noneEnabled(during));
        QVERIFY(frameShownDuring);
        QCOMPARE(label6During, QStringLiteral("Downloading Macro 1"));

        QVERIFY(allEnabled(buttonStates(tab)));
        QVERIFY(tab.ProgressFrame->isHidden());
        QVERIFY(tab.MacrosInCombination->isEnabled());
        QVERIFY(m_rig->window().readBackTab().StatArgument->isChecked());
        QCOMPARE(tab.ProgressBar1->value(), 100);
        QCOMPARE(tab.PercentCaption->text(), QStringLiteral("    100 % Complete"));
        QCOMPARE(tab.MacroBytes->text(), QString());
        QCOMPARE(tab.Label6->text(), QStringLiteral("Downloading Macro 3"));
        // Entry k is selected for slot k: entry 0 for slot 0; slot 2 has no entry 2.
        QCOMPARE(tab.MacrosInCombination->currentRow(), 0);
        QCOMPARE(m_rig->window().portStatus()->text(), QStringLiteral("Com1: /dev/ttyS0 open"));
    }

    // The progress frame follows the current macro; the status bar tells how
    // far the whole download is (71 bytes here), the macro and the time left.
    void theStatusBarShowsTheWholeDownloadsProgressAndItsEnd() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        QString during;
        m_rig->pump.setIdleHook([&] {
            if (during.isEmpty() && m_rig->module.writesReceived() >= 3) {
                during = m_rig->window().overallProgress()->text();
            }
        });
        m_rig->tab().QuickCmd->click();
        QCOMPARE(m_rig->prompter().messages.back().text, std::string("Download successful"));
        const QRegularExpression runningText(
            QStringLiteral("^2 of 71 bytes written, macro 1 of 2, about [0-9]+:[0-5][0-9] left$"));
        QVERIFY2(runningText.match(during).hasMatch(), qPrintable(during));
        QCOMPARE(m_rig->window().overallProgress()->text(),
                 QStringLiteral("71 of 71 bytes written, macro 2 of 2"));
        QVERIFY(m_rig->window().statusBar()->isAncestorOf(m_rig->window().overallProgress()));
    }

    void cancelDuringTheWritesFailsLeavesTheIncompleteMarkAndTheButtonsWereDisabled() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        auto& tab = m_rig->tab();
        bool pressed = false;
        ButtonStates atCancel;
        m_rig->pump.setIdleHook([&] {
            if (!pressed && m_rig->module.writesReceived() >= 5) {
                pressed = true;
                atCancel = buttonStates(tab);
                QVERIFY(tab.ProgressFrame->isVisible());
                tab.CancelCmd->click();
            }
        });
        tab.QuickCmd->click();

        QVERIFY(pressed);
        QVERIFY(noneEnabled(atCancel));
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("A download failure occurred"));
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Critical);
        QCOMPARE(m_rig->module.eeprom()[3], uint8_t{'Z'});
        // The second macro's name was never sent.
        QCOMPARE(m_rig->eeprom(550, 12), std::string(12, '\xFF'));
        QVERIFY(allEnabled(buttonStates(tab)));
        QVERIFY(tab.ProgressFrame->isHidden());
        QVERIFY(m_rig->window().state().CancelFlag);
    }

    void aSecondDownloadClickDuringARunDoesNothing() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        auto& tab = m_rig->tab();
        bool clickedAgain = false;
        bool refused = false;
        m_rig->pump.setIdleHook([&] {
            if (!clickedAgain && m_rig->module.writesReceived() >= 3) {
                clickedAgain = true;
                // The button is disabled: deliver the click's signal anyway.
                Q_EMIT tab.QuickCmd->clicked(false);
                refused = !m_rig->window().runOperation([](brindle::link::LinkContext&) {});
            }
        });
        tab.QuickCmd->click();

        QVERIFY(clickedAgain);
        QVERIFY(refused);
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages.back().text, std::string("Download successful"));
        // One run: the complete mark was written exactly once.
        const std::string mark = brindle::link::writeFrame(3, 'X');
        const std::string& wire = m_rig->module.received();
        QCOMPARE(wire.find(mark), wire.rfind(mark));
        QVERIFY(!m_rig->window().operationRunning());
    }

    void closingTheWindowDuringARunCancelsItAndClosesWhenItHasEnded() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        bool asked = false;
        bool closedAtOnce = true;
        int writesAtClose = 0;
        m_rig->pump.setIdleHook([&] {
            if (!asked && m_rig->module.writesReceived() >= 5) {
                asked = true;
                writesAtClose = m_rig->module.writesReceived();
                closedAtOnce = m_rig->window().close();
            }
        });
        m_rig->tab().QuickCmd->click();

        QVERIFY(asked);
        QVERIFY(!closedAtOnce);
        // The closing window shows no message box that would hold it up.
        QVERIFY(m_rig->prompter().messages.empty());
        // At most the write under way when the close came went out after it.
        QVERIFY(m_rig->module.writesReceived() <= writesAtClose + 1);
        QCOMPARE(m_rig->module.eeprom()[3], uint8_t{'Z'});
        QVERIFY(!m_rig->window().isVisible());
        QVERIFY(!m_rig->window().operationRunning());
    }

    void closingWhileNothingRunsClosesAtOnce() {
        m_rig->open();
        QVERIFY(m_rig->window().close());
        QVERIFY(!m_rig->window().isVisible());
        // Shutdown sets the flag that stops any sending, running or not.
        QVERIFY(m_rig->window().state().CancelFlag);
        QVERIFY(m_rig->window().state().Closing);
    }

    void downloadWithoutAChosenCombinationSendsNothing() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->tab().QuickCmd->click();
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("A macro combination has not been selected."));
        QVERIFY(m_rig->module.received().empty());
        QVERIFY(allEnabled(buttonStates(m_rig->tab())));
        QVERIFY(m_rig->tab().ProgressFrame->isHidden());
    }

    void aPortThatCannotBeOpenedIsShownInTheStatusBar() {
        prepareTwoMacroCombination();
        m_rig->port.setOpenFails(true);
        m_rig->open();
        QCOMPARE(m_rig->window().portStatus()->text(),
                 QStringLiteral("Com1: not opened yet (the first controller operation opens it)"));
        m_rig->chooseCombination(0);
        m_rig->tab().QuickCmd->click();
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("A download failure occurred"));
        QVERIFY(m_rig->module.received().empty());
        QCOMPARE(m_rig->window().portStatus()->text(),
                 QStringLiteral("Com1: /dev/ttyS0 closed (cannot be opened)"));
    }

    void changingThePortAfterTheFirstOperationReopensItAndShowsTheNewPort() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        m_rig->tab().QuickCmd->click();
        const int opens = m_rig->port.opens();
        m_rig->window().setupTab().ComOpt[1]->click();
        QCOMPARE(m_rig->port.opens(), opens + 1);
        QCOMPARE(m_rig->port.portNumber(), int16_t{2});
        QCOMPARE(m_rig->window().portStatus()->text(), QStringLiteral("Com2: /dev/ttyS1 open"));
    }

    void withoutALinkTheControllerButtonsOnlySayThePortIsNotAvailable() {
        prepareTwoMacroCombination();
        m_rig->windowOnly();
        auto& tab = m_rig->tab();
        QCOMPARE(m_rig->window().portStatus()->text(),
                 QStringLiteral("The serial port is not available."));
        m_rig->chooseCombination(0);
        tab.QuickCmd->click();
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("The serial port is not available."));
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Critical);
        QVERIFY(allEnabled(buttonStates(tab)));
        QVERIFY(!m_rig->window().state().StartComm);
        tab.Check1->click();
        tab.ClearHistory->click();
        tab.CancelCmd->click();
        QVERIFY(m_rig->window().state().CancelFlag);
        QVERIFY(m_rig->module.received().empty());
    }

  private:
    void prepareTwoMacroCombination() {
        const int32_t first = m_rig->addMacro("FIRST", kFirstText);
        const int32_t second = m_rig->addMacro("SECOND", kSecondText);
        m_rig->addCombo("TWO", {{0, first}, {2, second}}, 7, 3);
    }

    std::unique_ptr<LinkWindowFixture> m_rig;
};

QTEST_MAIN(DownloadWindowTest)
#include "download_window_test.moc"
