// The Setup tab's file browser: choosing a drive, a folder or a pattern, and
// the remembered drive, folder and pattern in the current folder, all three
// restored at the next start. The handlers skip a step that fails (a file
// that cannot be written, a folder that does not exist) without a word, as
// the browser only browses.
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
    const QString folder = pathToQt(store::drivePath(pathFromQt(driveList->itemText(position))));
    // Setting the folder list's path runs the folder handling as well.
    folderList->setPath(folder);
    fileList->setPath(folder);
}

void SetupTab::onDir1Changed() {
    FolderPath->setText(folderList->path());
    if (!m_host.state().LoadedYet) {
        return;
    }
    fileList->setPath(folderList->path());
    fileList->setPattern(Pattern->currentText().trimmed());
    base::skipOnError(
        store::writeRememberedPath(store::kLastPathFile, pathFromQt(fileList->path())));
}

void SetupTab::onPatternTextEdited() {
    if (!m_host.state().LoadedYet) {
        return;
    }
    rememberPattern();
    fileList->setPattern(Pattern->currentText().trimmed());
}

void SetupTab::onPatternActivated() {
    if (m_host.state().LoadedYet) {
        rememberPattern();
    }
    fileList->setPattern(Pattern->currentText().trimmed());
}

// The position of the entry the text equals; text that equals none is kept
// as typed, after position -1. A pattern that cannot be remembered still
// applies to the list.
void SetupTab::rememberPattern() {
    const QString text = Pattern->currentText();
    const int position = Pattern->findText(text, Qt::MatchExactly);
    base::skipOnError(store::writeRememberedPattern(
        store::kLastPatternFile,
        {static_cast<int16_t>(position), position < 0 ? pathFromQt(text) : std::string()}));
}

void SetupTab::restoreDriveAndPattern() {
    const auto drive = store::readRememberedPosition(store::kLastDriveFile);
    if (drive && 0 <= *drive && *drive < driveList->count()) {
        driveList->setCurrentIndex(*drive);
    }
    const auto pattern = store::readRememberedPattern(store::kLastPatternFile);
    if (pattern && 0 <= pattern->position && pattern->position < Pattern->count()) {
        Pattern->setCurrentIndex(pattern->position);
    } else if (pattern && pattern->position == -1 && !pattern->typed.empty()) {
        Pattern->setCurrentIndex(-1);
        Pattern->setEditText(pathToQt(pattern->typed));
    }
    fileList->setPattern(Pattern->currentText().trimmed());
}

}  // namespace brindle::app
