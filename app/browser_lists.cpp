#include "app/browser_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace brindle::app {

namespace {

QString volumeText(const QStorageInfo& volume) {
    QString text = volume.rootPath();
    if (!volume.name().isEmpty()) {
        text += QStringLiteral(" [") + volume.name() + QStringLiteral("]");
    }
    return text;
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

// The volumes a user browses: the root, the ones holding the home and the
// current folder, and removable media; not the system's own file systems.
bool worthBrowsing(const QStorageInfo& volume) {
    if (!volume.isValid() || !volume.isReady()) {
        return false;
    }
    const QString root = volume.rootPath();
    if (root == QStringLiteral("/") || root == QStorageInfo(QDir::homePath()).rootPath() ||
        root == QStorageInfo(QDir::currentPath()).rootPath()) {
        return true;
    }
    for (const char* media : {"/media/", "/run/media/", "/mnt/"}) {
        if (root.startsWith(QLatin1String(media))) {
            return true;
        }
    }
    return false;
}

}  // namespace

DriveList::DriveList(const QStringList& entries, int selected, QWidget* parent)
    : QComboBox(parent) {
    if (!entries.isEmpty()) {
        addItems(entries);
        setCurrentIndex(selected);
        return;
    }
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    volumes.erase(std::remove_if(volumes.begin(), volumes.end(),
                                 [](const QStorageInfo& v) { return !worthBrowsing(v); }),
                  volumes.end());
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    const QString currentRoot = QStorageInfo(QDir::currentPath()).rootPath();
    int current = 0;
    for (const QStorageInfo& volume : volumes) {
        if (volume.rootPath() == currentRoot) {
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
