// A whole download through the window: the combination chosen in combinationChoice,
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

#include "app/read_back_tab.h"
#include "app/setup_tab.h"
#include "link/frames.h"
#include "store/config.h"
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
    bool downloadButton = true;
    bool ClearFrame = true;
    bool ExecuteBlock = true;
    bool CancelExec = true;
    bool receiveWindowActive = true;
    bool gangDownloadButton = true;
};

ButtonStates buttonStates(const brindle::app::DownloadTab& tab) {
    return {tab.downloadButton->isEnabled(),      tab.ClearFrame->isEnabled(),
            tab.ExecuteBlock->isEnabled(),        tab.CancelExec->isEnabled(),
            tab.receiveWindowActive->isEnabled(), tab.gangDownloadButton->isEnabled()};
}

bool allEnabled(const ButtonStates& s) {
    return s.downloadButton && s.ClearFrame && s.ExecuteBlock && s.CancelExec &&
           s.receiveWindowActive && s.gangDownloadButton;
}

bool noneEnabled(const ButtonStates& s) {
    return !s.downloadButton && !s.ClearFrame && !s.ExecuteBlock && !s.CancelExec &&
           !s.receiveWindowActive && !s.gangDownloadButton;
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
        QVERIFY(!m_rig->window().readBackTab().convertStatusArgumentsBox->isChecked());

        bool seenRunning = false;
        ButtonStates during;
        bool frameShownDuring = false;
        QString label6During;
        m_rig->pump.setIdleHook([&] {
            if (!seenRunning && m_rig->module.writesReceived() >= 3) {
                seenRunning = true;
                during = buttonStates(tab);
                frameShownDuring = tab.ProgressFrame->isVisible();
                label6During = tab.progressStatusLine->text();
            }
        });
        tab.downloadButton->click();

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
        QVERIFY(m_rig->window().readBackTab().convertStatusArgumentsBox->isChecked());
        QCOMPARE(tab.progressBar->value(), 100);
        QCOMPARE(tab.PercentCaption->text(), QStringLiteral("    100 % Complete"));
        QCOMPARE(tab.MacroBytes->text(), QString());
        QCOMPARE(tab.progressStatusLine->text(), QStringLiteral("Downloading Macro 3"));
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
        m_rig->tab().downloadButton->click();
        QCOMPARE(m_rig->prompter().messages.back().text, std::string("Download successful"));
        const QRegularExpression runningText(QStringLiteral(
            "^2 of 71 bytes written, macro 1 of 2: FIRST, about [0-9]+:[0-5][0-9] left$"));
        QVERIFY2(runningText.match(during).hasMatch(), qPrintable(during));
        QCOMPARE(m_rig->window().overallProgress()->text(),
                 QStringLiteral("71 of 71 bytes written, macro 2 of 2: SECOND"));
        QVERIFY(m_rig->window().statusBar()->isAncestorOf(m_rig->window().overallProgress()));
        // The next operation, a read-back here, does not leave it standing.
        m_rig->window().readBackTab().readE2promButton->click();
        QVERIFY(m_rig->window().overallProgress()->isHidden());
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
                tab.progressCancelButton->click();
            }
        });
        tab.downloadButton->click();

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
        QVERIFY(m_rig->window().link()->CancelFlag);
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
                Q_EMIT tab.downloadButton->clicked(false);
                refused = !m_rig->window().runOperation([](brindle::link::LinkContext&) {});
            }
        });
        tab.downloadButton->click();

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
        m_rig->tab().downloadButton->click();

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
        QVERIFY(m_rig->window().link()->CancelFlag);
        QVERIFY(m_rig->window().sharedSignals().Closing.requested());
    }

    void downloadWithoutAChosenCombinationSendsNothing() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->tab().downloadButton->click();
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
        m_rig->tab().downloadButton->click();
        // The message box says why as well, not only the status bar.
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("A download failure occurred\nCom1: /dev/ttyS0 closed (cannot be "
                             "opened)"));
        QVERIFY(m_rig->module.received().empty());
        QCOMPARE(m_rig->window().portStatus()->text(),
                 QStringLiteral("Com1: /dev/ttyS0 closed (cannot be opened)"));
    }

    void changingThePortAfterTheFirstOperationReopensItAndShowsTheNewPort() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        m_rig->tab().downloadButton->click();
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
        tab.downloadButton->click();
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("The serial port is not available."));
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Critical);
        QVERIFY(allEnabled(buttonStates(tab)));
        QVERIFY(m_rig->window().link() == nullptr);
        tab.receiveWindowActive->click();
        tab.ClearHistory->click();
        tab.progressCancelButton->click();
        QVERIFY(m_rig->window().link() == nullptr);
        QVERIFY(m_rig->module.received().empty());
    }

    // A configuration file with a speed no port runs at (damaged, or edited
    // by hand): the operation says which file and value, and nothing is
    // opened or sent. A speed chosen on the Setup tab replaces it.
    void aStoredSpeedNoPortRunsAtIsRefusedUntilAnotherIsChosen() {
        prepareTwoMacroCombination();
        brindle::store::ConfigRecord config;
        config.BaudRate = 1;
        brindle::testing::writeBytes(brindle::store::configPath(m_rig->dataDir()), config.encode());
        m_rig->open();
        m_rig->chooseCombination(0);
        auto& tab = m_rig->tab();
        tab.downloadButton->click();
        tab.ExecuteBlock->click();
        const auto& messages = m_rig->prompter().messages;
        QCOMPARE(messages.size(), std::size_t{2});
        const std::string expected =
            "The line speed 1 stored in " + m_rig->dataDir() +
            "ZrtCfg.Dat is not one a serial port runs at (50 to 4000000 bits per second). "
            "Choose a Baud Rate on the Setup tab.";
        for (const auto& message : messages) {
            QCOMPARE(message.text, expected);
            QCOMPARE(message.icon, Icon::Critical);
        }
        QCOMPARE(m_rig->port.opens(), 0);
        QVERIFY(m_rig->module.received().empty());
        QVERIFY(allEnabled(buttonStates(tab)));

        m_rig->window().setupTab().BaudOpt[3]->click();  // 38400
        tab.downloadButton->click();
        QCOMPARE(messages.back().text, std::string("Download successful"));
        QCOMPARE(m_rig->port.settings(), std::string("38400,n,8,1"));
    }

    // Output that stops leaving the port (a line that takes nothing more)
    // fails the port after a second with that reason (here the read frame
    // after the fifth write): the run ends with its failure message, the
    // status bar says why, location 3 keeps "Z".
    void outputThatStopsLeavingEndsTheRunWithThePortsReason() {
        prepareTwoMacroCombination();
        m_rig->open();
        m_rig->chooseCombination(0);
        bool stuck = false;
        m_rig->pump.setIdleHook([&] {
            if (!stuck && m_rig->module.writesReceived() >= 5) {
                stuck = true;
                m_rig->port.setOutputStuck(true);
            }
        });
        m_rig->tab().downloadButton->click();
        QVERIFY(stuck);
        QCOMPARE(m_rig->prompter().messages.back().text,
                 std::string("A download failure occurred\nCom1: /dev/ttyS0 closed (8 bytes do "
                             "not leave the port)"));
        QCOMPARE(m_rig->module.eeprom()[3], uint8_t{'Z'});
        QCOMPARE(m_rig->window().portStatus()->text(),
                 QStringLiteral("Com1: /dev/ttyS0 closed (8 bytes do not leave the port)"));
        QVERIFY(allEnabled(buttonStates(m_rig->tab())));
    }

    // Cancel, and closing the window, end the wait for such output at once.
    void cancelAndExitWorkWhileOutputDoesNotLeave() {
        for (const bool exit : {false, true}) {
            m_rig = std::make_unique<LinkWindowFixture>();
            prepareTwoMacroCombination();
            m_rig->open();
            m_rig->chooseCombination(0);
            bool stuck = false;
            int64_t pressedAt = -1;
            m_rig->pump.setIdleHook([&] {
                if (!stuck && m_rig->module.writesReceived() >= 5) {
                    stuck = true;
                    m_rig->port.setOutputStuck(true);
                } else if (stuck && pressedAt < 0 && m_rig->port.OutBufferCount() > 0) {
                    pressedAt = m_rig->pump.nowMicros();
                    if (exit) {
                        m_rig->window().close();
                    } else {
                        m_rig->tab().progressCancelButton->click();
                    }
                }
            });
            m_rig->tab().downloadButton->click();
            QVERIFY(pressedAt >= 0);
            // No second went by waiting for the port to fail.
            QVERIFY(m_rig->pump.nowMicros() - pressedAt < 100'000);
            QVERIFY(m_rig->port.failure().empty());
            QCOMPARE(m_rig->module.eeprom()[3], uint8_t{'Z'});
            QCOMPARE(m_rig->window().isVisible(), !exit);
        }
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
