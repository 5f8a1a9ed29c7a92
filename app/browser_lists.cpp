#include "app/browser_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "app/text_conversion.h"
#include "base/files.h"
#include "store/browsable_mounts.h"

namespace brindle::app {

namespace {

QString volumeText(const QString& mountPoint) {
    QString text = mountPoint;
    const QString label = QStorageInfo(mountPoint).name();
    if (!label.isEmpty()) {
        text += QStringLiteral(" [") + label + QStringLiteral("]");
    }
    return text;
}

std::string canonical(const QString& path) {
    const QString found = QFileInfo(path).canonicalFilePath();
    return pathFromQt(found.isEmpty() ? path : found);
}

// The mount points of the file systems a user browses ("/" alone where the
// system's mount table cannot be read).
QStringList browsableVolumes() {
    const base::Result<std::string> table = base::readWholeFile("/proc/self/mountinfo");
    if (!table) {
        return {QStringLiteral("/")};
    }
    const std::vector<std::string> points = store::browsableMounts(
        *table, {canonical(QDir::homePath()), canonical(QDir::currentPath())},
        [](const std::string& path) { return QFileInfo(pathToQt(path)).isDir(); });
    QStringList volumes;
    for (const std::string& point : points) {
        volumes << pathToQt(point);
    }
    return volumes;
}

// Existing folders only, written without "." or ".." steps. A drive entry's
// path keeps the blank before its label; a folder of that exact name is
// rare, so without one the blanks at the end are dropped.
QString existingFolder(const QString& path) {
    for (const QString& candidate : {path, path.trimmed()}) {
        QFileInfo info(candidate);
        if (!candidate.isEmpty() && info.isDir()) {
            return QDir::cleanPath(info.absoluteFilePath());
        }
    }
    return QString();
}

}  // namespace

DriveList::DriveList(const QStringList& entries, int selected, QWidget* parent)
    : QComboBox(parent) {
    if (!entries.isEmpty()) {
        addItems(entries);
        setCurrentIndex(selected);
        return;
    }
    const QString currentRoot = QStorageInfo(QDir::currentPath()).rootPath();
    int current = 0;
    for (const QString& volume : browsableVolumes()) {
        if (volume == currentRoot) {
            current = count();
        }
        addItem(volumeText(volume));
    }
    setCurrentIndex(count() > 0 ? current : -1);
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, &FolderList::openEntry);
    setPath(QDir::currentPath());
}

bool FolderList::setPath(const QString& path) {
    const QString folder = existingFolder(path);
    if (folder.isEmpty()) {
        return false;
    }
    m_path = folder;
    clear();
    QDir dir(m_path);
    if (!dir.isRoot()) {
        addItem(QStringLiteral(".."));
    }
    addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    emit pathChanged(m_path);
    return true;
}

void FolderList::openEntry(QListWidgetItem* item) {
    setPath(QDir(m_path).filePath(item->text()));
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    m_path = QDir::currentPath();
    m_pattern = QStringLiteral("*.cmd");
    refresh();
}

bool FileList::setPath(const QString& path) {
    const QString folder = existingFolder(path);
    if (folder.isEmpty()) {
        return false;
    }
    m_path = folder;
    refresh();
    return true;
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = pattern;
    refresh();
}

void FileList::refresh() {
    clear();
    QDir dir(m_path);
    dir.setNameFilters(m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    // Without QDir::CaseSensitive the patterns ignore letter case, as on the
    // systems the data files come from.
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(dir.entryList());
}

}  // namespace brindle::app
