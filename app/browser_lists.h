#pragma once
// The Setup tab's plain browser lists: drives, the folders of one folder, and
// the files of one folder that match a pattern. They only browse; what is
// remembered between runs is up to the window's handlers.
#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace brindle::app {

// The mounted volumes a user browses, "/" first (store::browsableMounts over
// the system's mount table): the root, the volumes of the home and the
// current folder, removable and mounted media. An entry is the volume's mount
// point, followed by a blank and its label in brackets when it has one. The
// volume that holds the current folder is selected at creation. Given
// entries (a test's fixed volumes) stand in for the machine's, with the one
// at selected chosen.
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    DriveList(const QStringList& entries = {}, int selected = 0, QWidget* parent = nullptr);
};

// The folder list: ".." and the sub-folders of its path.
class FolderList : public QListWidget {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // False, with nothing changed, when the path is not an existing folder.
    bool setPath(const QString& path);

  signals:
    void pathChanged(const QString& path);

  private:
    void openEntry(QListWidgetItem* item);
    QString m_path;
};

// The file list: the files of its path whose names match its pattern (one or
// more wildcard patterns separated by ';', letter case ignored).
class FileList : public QListWidget {
    Q_OBJECT
  public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    QString pattern() const { return m_pattern; }
    bool setPath(const QString& path);
    void setPattern(const QString& pattern);

  private:
    void refresh();
    QString m_path;
    QString m_pattern;
};

}  // namespace brindle::app
