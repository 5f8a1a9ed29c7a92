// The Setup tab's file browser: choosing a drive, a folder or a pattern, and
// the remembered drive, folder and pattern in the current folder. The drive
// and folder handlers skip a step that fails (a file that cannot be written,
// a folder that does not exist) without a word, as the browser only browses.
#include <QComboBox>
#include <QLabel>

#include "app/browser_lists.h"
#include "app/setup_tab.h"
#include "app/text_conversion.h"
#include "store/remembered.h"

namespace brindle::app {

void SetupTab::onDrive1Changed(int position) {
    if (!m_host.state().LoadedYet || position < 0) {
        return;
    }
    base::skipOnError(
        store::writeRememberedPosition(store::kLastDriveFile, static_cast<int16_t>(position)));
    const QString folder = pathToQt(store::drivePath(pathFromQt(Drive1->itemText(position))));
    // Setting the folder list's path runs the folder handling as well.
    Dir1->setPath(folder);
    File1->setPath(folder);
}

void SetupTab::onDir1Changed() {
    FolderPath->setText(Dir1->path());
    if (!m_host.state().LoadedYet) {
        return;
    }
    File1->setPath(Dir1->path());
    File1->setPattern(Pattern->currentText().trimmed());
    base::skipOnError(store::writeRememberedPath(store::kLastPathFile, pathFromQt(File1->path())));
}

void SetupTab::onPatternTextEdited() {
    if (!m_host.state().LoadedYet) {
        return;
    }
    // Typed text is at the position of the entry it equals, or at none (-1);
    // a pattern that cannot be remembered still applies to the list.
    const int position = Pattern->findText(Pattern->currentText(), Qt::MatchExactly);
    base::skipOnError(
        store::writeRememberedPosition(store::kLastPatternFile, static_cast<int16_t>(position)));
    File1->setPattern(Pattern->currentText().trimmed());
}

void SetupTab::onPatternActivated() {
    File1->setPattern(Pattern->currentText().trimmed());
}

}  // namespace brindle::app
