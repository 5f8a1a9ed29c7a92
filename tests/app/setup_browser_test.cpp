// The Setup tab's file browser on a fresh current folder: what choosing a
// drive, a folder or a pattern remembers, byte for byte, and where it leaves
// the lists.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>

#include <sys/stat.h>

#include "app/browser_lists.h"
#include "tests/app/window_fixture.h"

using brindle::testing::hexBytes;
using brindle::testing::readBytes;
using brindle::testing::toHex;
using brindle::testing::WindowFixture;
using brindle::testing::writeBytes;

namespace {

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

}  // namespace

class SetupBrowserTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_fixture = std::make_unique<WindowFixture>();
        std::filesystem::create_directories(folder("data/sub"));
        std::filesystem::create_directories(folder("usb"));
        writeBytes(folder("usb") + "/A.cmd", "");
        writeBytes(folder("usb") + "/B.zrt", "");
        writeBytes(folder("usb") + "/C.txt", "");
        // The first drive is a folder without a label, the second has one.
        m_fixture->drives = {{QString::fromStdString(folder("data")),
                              QString::fromStdString(folder("usb") + " [STICK]")},
                             0};
    }
    void cleanup() { m_fixture.reset(); }

    void theFirstFolderChangeWritesThePathTwiceThenOnlyRecordTwo() {
        auto& tab = m_fixture->open().setupTab();
        QVERIFY(tab.folderList->setPath(QString::fromStdString(folder("data"))));
        QCOMPARE(readBytes(lastPath()), padded(folder("data"), 60) + padded(folder("data"), 60));
        QVERIFY(tab.folderList->setPath(QString::fromStdString(folder("data/sub"))));
        QCOMPARE(readBytes(lastPath()),
                 padded(folder("data"), 60) + padded(folder("data/sub"), 60));
        QCOMPARE(tab.fileList->path(), QString::fromStdString(folder("data/sub")));
        QCOMPARE(tab.FolderPath->text(), QString::fromStdString(folder("data/sub")));
    }

    void aLongPathIsStoredCutAndRestoredWithoutItsBlanks() {
        // A folder whose path has exactly 60 characters, and a sibling one
        // character longer that shares them.
        const std::string base = folder("");
        const std::string sixty = base + std::string(60 - base.size(), 'p');
        std::filesystem::create_directories(sixty);
        std::filesystem::create_directories(sixty + "q");
        auto& tab = m_fixture->open().setupTab();
        QVERIFY(tab.folderList->setPath(QString::fromStdString(sixty + "q")));
        QCOMPARE(readBytes(lastPath()).substr(60), sixty);
        m_fixture->window.reset();
        auto& again = m_fixture->open().setupTab();
        QCOMPARE(again.folderList->path(), QString::fromStdString(sixty));
        QCOMPARE(again.fileList->path(), QString::fromStdString(sixty));
    }

    void choosingADriveWithALabelUsesTheTextBeforeItsBracket() {
        auto& tab = m_fixture->open().setupTab();
        tab.driveList->setCurrentIndex(1);
        QCOMPARE(toHex(readBytes(m_fixture->file("LastDrive.dat"))), std::string("01 00 01 00"));
        QCOMPARE(tab.folderList->path(), QString::fromStdString(folder("usb")));
        QCOMPARE(tab.fileList->path(), QString::fromStdString(folder("usb")));
        QCOMPARE(readBytes(lastPath()).substr(60), padded(folder("usb"), 60));
        // A drive text without a bracket is used whole; only record 2 changes.
        tab.driveList->setCurrentIndex(0);
        QCOMPARE(toHex(readBytes(m_fixture->file("LastDrive.dat"))), std::string("01 00 00 00"));
        QCOMPARE(tab.folderList->path(), QString::fromStdString(folder("data")));
    }

    void choosingAPatternFiltersAndRemembersItsPosition() {
        auto& tab = m_fixture->open().setupTab();
        QVERIFY(tab.folderList->setPath(QString::fromStdString(folder("usb"))));
        QCOMPARE(entries(tab.fileList), QStringList{"A.cmd"});
        tab.Pattern->setCurrentIndex(1);
        Q_EMIT tab.Pattern->activated(1);
        // Letter case is ignored, as on the systems the files come from.
        QCOMPARE(entries(tab.fileList), QStringList{"B.zrt"});
        QCOMPARE(toHex(readBytes(m_fixture->file("Lastpatt.dat"))), std::string("01 00 01 00"));
    }

    void typingAPatternRemembersTheListPositionAndTrimsTheText() {
        auto& tab = m_fixture->open().setupTab();
        QVERIFY(tab.folderList->setPath(QString::fromStdString(folder("usb"))));
        tab.Pattern->setCurrentIndex(2);
        tab.Pattern->lineEdit()->selectAll();
        QTest::keyClicks(tab.Pattern->lineEdit(), QStringLiteral(" *.txt "));
        QCOMPARE(tab.fileList->pattern(), QStringLiteral("*.txt"));
        QCOMPARE(entries(tab.fileList), QStringList{"C.txt"});
        // Typing leaves no entry chosen: position -1 in both records, then the
        // text as typed. Text that equals an entry is that entry's position.
        QCOMPARE(toHex(readBytes(m_fixture->file("Lastpatt.dat"))),
                 std::string("FF FF FF FF 20 2A 2E 74 78 74 20"));
        tab.Pattern->lineEdit()->selectAll();
        QTest::keyClicks(tab.Pattern->lineEdit(), QStringLiteral("*.Zrt"));
        QCOMPARE(toHex(readBytes(m_fixture->file("Lastpatt.dat"))), std::string("FF FF 01 00"));
    }

    // Chosen "*.*", then typed "*.txt": the drive, the folder and the typed
    // pattern are there again after a restart.
    void theDriveFolderAndTypedPatternComeBack() {
        m_fixture->drives.selected = 1;
        auto& tab = m_fixture->open().setupTab();
        tab.driveList->setCurrentIndex(0);
        QVERIFY(tab.folderList->setPath(QString::fromStdString(folder("usb"))));
        tab.Pattern->setCurrentIndex(2);
        Q_EMIT tab.Pattern->activated(2);
        tab.Pattern->lineEdit()->selectAll();
        QTest::keyClicks(tab.Pattern->lineEdit(), QStringLiteral("*.txt"));
        m_fixture->window.reset();

        auto& again = m_fixture->open().setupTab();
        QCOMPARE(again.driveList->currentIndex(), 0);
        QCOMPARE(again.folderList->path(), QString::fromStdString(folder("usb")));
        QCOMPARE(again.Pattern->currentIndex(), -1);
        QCOMPARE(again.Pattern->currentText(), QStringLiteral("*.txt"));
        QCOMPARE(again.fileList->pattern(), QStringLiteral("*.txt"));
        QCOMPARE(entries(again.fileList), QStringList{"C.txt"});
    }

    void startUpRestoresWithoutRewritingTheRememberedFiles() {
        writeBytes(m_fixture->file("LastDrive.dat"), hexBytes("00 00 01 00"));
        writeBytes(m_fixture->file("Lastpatt.dat"), hexBytes("00 00 02 00"));
        const std::string path = padded(folder("data/sub"), 60);
        writeBytes(lastPath(), path + path);
        auto& tab = m_fixture->open().setupTab();
        QCOMPARE(tab.driveList->currentIndex(), 1);
        QCOMPARE(tab.fileList->pattern(), QStringLiteral("*.*"));
        QCOMPARE(tab.folderList->path(), QString::fromStdString(folder("data/sub")));
        QCOMPARE(toHex(readBytes(m_fixture->file("LastDrive.dat"))), std::string("00 00 01 00"));
        QCOMPARE(readBytes(lastPath()), path + path);
    }

    void theFileListShowsOnlyRegularFiles() {
        const std::string fifo = folder("usb") + "/pipe.cmd";
        QCOMPARE(::mkfifo(fifo.c_str(), 0644), 0);
        std::filesystem::create_directories(folder("usb") + "/dir.cmd");
        auto& tab = m_fixture->open().setupTab();
        QVERIFY(tab.folderList->setPath(QString::fromStdString(folder("usb"))));
        QCOMPARE(entries(tab.fileList), QStringList{"A.cmd"});
    }

  private:
    std::string folder(const std::string& name) const { return m_fixture->dir.path() + name; }
    std::string lastPath() const { return m_fixture->file("Lastpath.dat"); }
    static QStringList entries(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            out << list->item(i)->text();
        }
        return out;
    }

    std::unique_ptr<WindowFixture> m_fixture;
};

QTEST_MAIN(SetupBrowserTest)
#include "setup_browser_test.moc"
