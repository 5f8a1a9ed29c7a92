// Start-up of the window: the fixed values, the lists, the remembered browser
// state, the configuration record and the options, in that order. A step that
// fails is skipped without a message and the next one runs.
#include <QComboBox>
#include <QRadioButton>
#include <exception>

#include "app/browser_lists.h"
#include "app/main_window.h"
#include "app/text_conversion.h"
#include "base/numeric.h"
#include "store/config.h"
#include "store/databases.h"
#include "store/remembered.h"

namespace brindle::app {

namespace {

template <class Step>
void skipOnError(Step step) {
    try {
        step();
    } catch (const std::exception&) {
        // Start-up goes on with the next step.
    }
}

}  // namespace

void MainWindow::loadWindow(std::string dataDir) {
    m_state.ReadSettleTicks = 1;
    m_state.WriteSettleTicks = 1;
    m_state.StartTable = 16;
    m_state.NameTable = 526;
    m_state.MacroArea = 3586;
    m_state.RetryLimit = 40;

    if (dataDir.empty() || dataDir.back() != '/') {
        dataDir += '/';
    }
    m_state.DataDir = std::move(dataDir);

    skipOnError([this] { listCombinations(); });
    skipOnError([this] { listMacros(); });
    skipOnError([this] { restoreDriveAndPattern(); });
    skipOnError([this] { restoreFolder(); });
    skipOnError([this] { loadConfiguration(); });
    skipOnError([this] { showDelays(); });
    skipOnError([this] { selectPortOption(); });
    skipOnError([this] { selectSpeedOption(); });
    skipOnError([this] { InitializePort(); });
    m_state.LoadedYet = true;
}

void MainWindow::listCombinations() {
    for (const std::string& name : store::listComboNames(m_state.DataDir)) {
        m_specify.ComboList->addItem(toQt(name));
        m_download.CustomList->addItem(toQt(name));
    }
    // Filling a list must not choose an entry: nothing is selected yet.
    m_specify.ComboList->setCurrentIndex(-1);
    m_download.CustomList->setCurrentIndex(-1);
}

void MainWindow::listMacros() {
    for (const std::string& name : store::listMacroNames(m_state.DataDir, m_state.MacroBuffer)) {
        m_specify.MacroList->addItem(toQt(name));
    }
    m_specify.MacroList->setCurrentIndex(-1);
}

void MainWindow::restoreDriveAndPattern() {
    const auto drive = store::readRememberedPosition(store::kLastDriveFile);
    if (!drive) {
        return;
    }
    // The first drive is never restored.
    if (0 < *drive && *drive < m_setup.Drive1->count()) {
        m_setup.Drive1->setCurrentIndex(*drive);
    }
    const auto pattern = store::readRememberedPosition(store::kLastPatternFile);
    if (pattern && 0 <= *pattern && *pattern < m_setup.Pattern->count()) {
        m_setup.Pattern->setCurrentIndex(*pattern);
    }
    m_setup.File1->setPattern(m_setup.Pattern->currentText());
}

void MainWindow::restoreFolder() {
    const auto folder = store::readRememberedPath(store::kLastPathFile);
    if (folder && m_setup.Dir1->setPath(pathToQt(*folder))) {
        m_setup.File1->setPath(m_setup.Dir1->path());
    }
}

void MainWindow::loadConfiguration() {
    m_state.ConfigRecord = store::loadConfigAtStartup(m_state.DataDir);
}

void MainWindow::showDelays() {
    // Showing the values runs the text-change handling, which stores them again.
    m_state.PostReadDelayMs = m_state.ConfigRecord.ReadDelayMs;
    m_setup.PostReadDelay->setEditText(
        QString::fromStdString(base::decimalText(m_state.PostReadDelayMs)));
    m_state.PostWriteDelayMs = m_state.ConfigRecord.WriteDelayMs;
    m_setup.PostWriteDelay->setEditText(
        QString::fromStdString(base::decimalText(m_state.PostWriteDelayMs)));
}

void MainWindow::selectPortOption() {
    for (int i = 0; i < static_cast<int>(m_setup.ComOpt.size()); ++i) {
        if (m_state.ConfigRecord.PortNumber == i + 1) {
            m_setup.ComOpt[static_cast<std::size_t>(i)]->setChecked(true);
        }
    }
}

void MainWindow::selectSpeedOption() {
    for (QRadioButton* option : m_setup.BaudOpt) {
        if (base::numericValue(fromQt(option->text())) == m_state.ConfigRecord.BaudRate) {
            option->setChecked(true);
        }
    }
}

}  // namespace brindle::app
