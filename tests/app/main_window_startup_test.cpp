// Start-up on a prepared folder: the fixed values, the lists, the remembered
// browser state, the configuration record and the options it selects.
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

#include "app/browser_lists.h"
#include "store/databases.h"
#include "tests/app/window_fixture.h"

using brindle::testing::hexBytes;
using brindle::testing::kDefaultConfigHex;
using brindle::testing::readBytes;
using brindle::testing::toHex;
using brindle::testing::WindowFixture;
using brindle::testing::writeBytes;
namespace store = brindle::store;

namespace {

QStringList entries(const QComboBox* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->itemText(i);
    }
    return out;
}

QStringList entries(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->item(i)->text();
    }
    return out;
}

int checkedIndex(const std::array<QRadioButton*, 5>& options) {
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int checkedIndex(const std::array<QRadioButton*, 4>& options) {
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

store::ComboRecord combo(const std::string& name) {
    store::ComboRecord record;
    record.Name = name;  // blank-filled by the record writer
    return record;
}

store::MacroRecord macro(const std::string& name) {
    store::MacroRecord record;
    record.Name = name;
    return record;
}

}  // namespace

class MainWindowStartupTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_fixture = std::make_unique<WindowFixture>();
        // Three volumes, the last one holding the current folder.
        m_fixture->drives = {{"/ [root]", "/mnt/a", "/mnt/b [Data]"}, 2};
    }
    void cleanup() { m_fixture.reset(); }

    void firstStartInAnEmptyFolderCreatesTheDefaultConfiguration() {
        auto& w = m_fixture->open();
        QCOMPARE(m_fixture->configHex(), QByteArray(kDefaultConfigHex).toStdString());
        QCOMPARE(w.setupTab().PostReadDelay->currentText(), QStringLiteral("1"));
        QCOMPARE(w.setupTab().PostWriteDelay->currentText(), QStringLiteral("1"));
        QCOMPARE(checkedIndex(w.setupTab().ComOpt), 0);
        QCOMPARE(checkedIndex(w.setupTab().BaudOpt), 3);
        QCOMPARE(w.state().PostReadDelayMs, int16_t{1});
        QCOMPARE(w.state().PostWriteDelayMs, int16_t{1});
        QCOMPARE(w.state().ConfigRecord.BaudRate, 38400);
        QVERIFY(m_fixture->prompter.messages.empty());
    }

    void startUpEndsLoadedWithoutALine() {
        auto& w = m_fixture->open();
        const auto& s = w.state();
        QVERIFY(s.LoadedYet);
        QVERIFY(w.link() == nullptr);
        QCOMPARE(s.DataDir, m_fixture->dir.path());
    }

    void aDataFolderWithoutSeparatorGetsExactlyOne() {
        std::string folder = m_fixture->dir.path();
        folder.pop_back();
        brindle::app::MainWindow w(folder, {&m_fixture->prompter, m_fixture->drives});
        QCOMPARE(w.state().DataDir, folder + "/");
        QCOMPARE(readBytes(folder + "/ZrtCfg.Dat").size(), std::size_t{43});
    }

    void aStoredSpeedWithoutOptionSelectsNoSpeedAndStaysInTheRecord() {
        // Port 2, 4800 (C0 12 00 00), read delay 5, write delay -2.
        const std::string stored =
            "02 00 C0 12 00 00 41 "
            "52 45 53 45 52 56 45 44 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
            "00 00 05 00 34 12 FE FF";
        writeBytes(m_fixture->file("ZrtCfg.Dat"), hexBytes(stored));
        auto& w = m_fixture->open();
        QCOMPARE(checkedIndex(w.setupTab().BaudOpt), -1);
        QCOMPARE(checkedIndex(w.setupTab().ComOpt), 1);
        QCOMPARE(w.state().ConfigRecord.BaudRate, 4800);
        QCOMPARE(w.setupTab().PostReadDelay->currentText(), QStringLiteral("5"));
        QCOMPARE(w.setupTab().PostWriteDelay->currentText(), QStringLiteral("-2"));
        QCOMPARE(w.state().PostWriteDelayMs, int16_t{-2});
        // Writing the values back changes no byte, reserved ones included.
        QCOMPARE(m_fixture->configHex(), stored);
    }

    void listsAreFilledInFileOrderWithNamesPaddedToWidth() {
        const std::string data = m_fixture->dir.path();
        QVERIFY(store::writeCombo(data, 1, combo("Zeta")));
        QVERIFY(store::writeCombo(data, 2, combo("")));
        QVERIFY(store::writeCombo(data, 3, combo("Alpha Beta Gamma")));
        QVERIFY(store::writeCombo(data, 4, combo("  mid")));
        QVERIFY(store::writeMacro(data, 1, macro("Home")));
        QVERIFY(store::writeMacro(data, 2, macro("")));
        QVERIFY(store::writeMacro(data, 3, macro("Approach")));
        auto& w = m_fixture->open();

        const QStringList combos{"Zeta            ", "Alpha Beta Gamma", "  mid           "};
        QCOMPARE(entries(w.specifyTab().ComboList), combos);
        QCOMPARE(entries(w.downloadTab().combinationChoice), combos);
        QCOMPARE(entries(w.specifyTab().MacroList), (QStringList{"Home        ", "Approach    "}));
        // Filling chooses nothing.
        QCOMPARE(w.specifyTab().ComboList->currentIndex(), -1);
        QCOMPARE(w.specifyTab().ComboList->currentText(), QString());
        QCOMPARE(w.downloadTab().combinationChoice->currentIndex(), -1);
        QCOMPARE(w.specifyTab().MacroList->currentIndex(), -1);
        // The macro buffer ends holding the last record read.
        QCOMPARE(w.state().MacroBuffer.Name, std::string("Approach    "));
    }

    void aTrailingPartialMacroRecordIsNotListed() {
        const std::string data = m_fixture->dir.path();
        QVERIFY(store::writeMacro(data, 1, macro("Only")));
        std::string bytes = readBytes(data + "MacroDb.Dat");
        bytes += std::string("Partial     ") + std::string(100, ' ');
        writeBytes(data + "MacroDb.Dat", bytes);
        auto& w = m_fixture->open();
        QCOMPARE(entries(w.specifyTab().MacroList), QStringList{"Only        "});
    }

    void missingDatabasesLeaveTheListsEmptyWithoutAMessage() {
        auto& w = m_fixture->open();
        QCOMPARE(w.specifyTab().ComboList->count(), 0);
        QCOMPARE(w.downloadTab().combinationChoice->count(), 0);
        QCOMPARE(w.specifyTab().MacroList->count(), 0);
        QVERIFY(m_fixture->prompter.messages.empty());
    }

    void rememberedDriveAndPatternFollowTheirRules_data() {
        QTest::addColumn<QString>("lastDrive");  // hex; "-" for no file
        QTest::addColumn<QString>("lastPattern");
        QTest::addColumn<int>("drive");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("drive 0 and pattern 0 are restored") << "01 00 00 00"
                                                            << "02 00 00 00" << 0 << 0 << "*.cmd";
        QTest::newRow("record 2 is the one read") << "02 00 01 00"
                                                  << "00 00 01 00" << 1 << 1 << "*.Zrt";
        QTest::newRow("last pattern entry") << "01 00 01 00"
                                            << "02 00 02 00" << 1 << 2 << "*.*";
        QTest::newRow("a drive file under 4 bytes restores the pattern alone")
            << "01 00"
            << "01 00 01 00" << 2 << 1 << "*.Zrt";
        QTest::newRow("no drive file restores the pattern alone")
            << "-"
            << "02 00 02 00" << 2 << 2 << "*.*";
        QTest::newRow("a typed pattern follows position -1")
            << "01 00 01 00"
            << "FF FF FF FF 2A 2E 74 78 74" << 1 << -1 << "*.txt";
        QTest::newRow("text after a list position is not read")
            << "-"
            << "00 00 01 00 2A 2E 74" << 2 << 1 << "*.Zrt";
        QTest::newRow("positions past the end are not restored")
            << "03 00 03 00"
            << "03 00 03 00" << 2 << -1 << "*.cmd";
        QTest::newRow("negative positions are not restored") << "FF FF FF FF"
                                                             << "FF FF FF FF" << 2 << -1 << "*.cmd";
        QTest::newRow("no pattern file restores the drive only") << "01 00 01 00"
                                                                 << "-" << 1 << -1 << "*.cmd";
        QTest::newRow("a pattern file of one record is not read") << "01 00 01 00"
                                                                  << "01 00" << 1 << -1 << "*.cmd";
    }

    void rememberedDriveAndPatternFollowTheirRules() {
        QFETCH(QString, lastDrive);
        QFETCH(QString, lastPattern);
        QFETCH(int, drive);
        QFETCH(int, pattern);
        QFETCH(QString, text);
        if (lastDrive != "-") {
            writeBytes(m_fixture->file("LastDrive.dat"), hexBytes(lastDrive.toStdString()));
        }
        if (lastPattern != "-") {
            writeBytes(m_fixture->file("Lastpatt.dat"), hexBytes(lastPattern.toStdString()));
        }
        auto& w = m_fixture->open();
        QCOMPARE(w.setupTab().driveList->currentIndex(), drive);
        QCOMPARE(w.setupTab().Pattern->currentIndex(), pattern);
        QCOMPARE(w.setupTab().Pattern->currentText(), text);
        QCOMPARE(w.setupTab().fileList->pattern(), text);
        // Restoring writes nothing back.
        if (lastDrive != "-") {
            QCOMPARE(toHex(readBytes(m_fixture->file("LastDrive.dat"))), lastDrive.toStdString());
        }
    }

    void theRememberedFolderIsShownInTheFolderAndFileLists() {
        QDir(QString::fromStdString(m_fixture->dir.path())).mkpath("work/sub");
        const std::string folder = m_fixture->dir.path() + "work";
        writeBytes(folder + "/a.cmd", "x");
        writeBytes(folder + "/B.CMD", "x");
        writeBytes(folder + "/c.Zrt", "x");
        // Record 1 names another folder: only record 2 counts.
        const std::string record1 = std::string("/nowhere") + std::string(52, ' ');
        std::string record2 = folder + "   ";
        record2 += std::string(60 - record2.size(), ' ');
        QVERIFY(record2.size() == 60);
        writeBytes(m_fixture->file("Lastpath.dat"), record1 + record2);

        auto& w = m_fixture->open();
        const QString expected = QString::fromStdString(folder);
        QCOMPARE(w.setupTab().folderList->path(), expected);
        QCOMPARE(entries(w.setupTab().folderList), (QStringList{"..", "sub"}));
        QCOMPARE(w.setupTab().fileList->path(), expected);
        QCOMPARE(entries(w.setupTab().fileList), (QStringList{"a.cmd", "B.CMD"}));
    }

    void aFolderFileUnderTwoRecordsOrAMissingFolderLeavesTheLists() {
        const QString current = QDir::currentPath();
        writeBytes(m_fixture->file("Lastpath.dat"), std::string(119, ' '));
        {
            auto& w = m_fixture->open();
            QCOMPARE(w.setupTab().folderList->path(), current);
            QCOMPARE(w.setupTab().fileList->path(), current);
        }
        m_fixture->window.reset();
        std::string missing = "/no/such/folder";
        missing += std::string(60 - missing.size(), ' ');
        writeBytes(m_fixture->file("Lastpath.dat"), missing + missing);
        auto& w = m_fixture->open();
        QCOMPARE(w.setupTab().folderList->path(), current);
        QCOMPARE(w.setupTab().fileList->path(), current);
        QVERIFY(m_fixture->prompter.messages.empty());
    }

    void theWindowOpensOnReadBack() {
        auto& w = m_fixture->open();
        QCOMPARE(w.SSTab1()->currentIndex(), 1);
        QCOMPARE(w.SSTab1()->tabText(w.SSTab1()->currentIndex()), QStringLiteral("Read back"));
    }

  private:
    std::unique_ptr<WindowFixture> m_fixture;
};

QTEST_MAIN(MainWindowStartupTest)
#include "main_window_startup_test.moc"
