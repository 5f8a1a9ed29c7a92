// "Write changed bytes only" beside Download and "Save Image..." on the Read
// back tab, through the window against the fake Macro Module on virtual
// time. The oracle of a changed-only download is the module after a whole
// one; the oracle of a saved image is the fake module's own E2PROM.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <memory>

#include "contents/backup_file.h"
#include "tests/app/link_window_fixture.h"

using brindle::base::Icon;
using brindle::testing::LinkWindowFixture;

namespace {

const std::string kThirdMacro = "3 HO\r\n3 MA 0";

// OLD (entry 0) and NEW (entry 1) share their first macro; NEW's second
// slot holds another macro.
void prepareLibrary(LinkWindowFixture& rig) {
    const int32_t first = rig.addMacro("FIRST", brindle::testing::kWorkedExample);
    const int32_t second = rig.addMacro("SECOND", brindle::testing::kSecondMacro);
    const int32_t third = rig.addMacro("THIRD", kThirdMacro);
    rig.addCombo("OLD", {{0, first}, {1, second}}, 7, 1);
    rig.addCombo("NEW", {{0, first}, {1, third}}, 7, 1);
}

// The E2PROM after whole downloads of the entries in turn, on a module of its own.
std::vector<uint8_t> afterWholeDownloads(std::initializer_list<int> entries) {
    LinkWindowFixture rig;
    prepareLibrary(rig);
    rig.open();
    for (int entry : entries) {
        rig.chooseCombination(entry);
        rig.tab().downloadButton->click();
    }
    return rig.module.eeprom();
}

}  // namespace

class ModuleContentsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_rig = std::make_unique<LinkWindowFixture>();
        prepareLibrary(*m_rig);
    }
    void cleanup() { m_rig.reset(); }

    // Ticked: after OLD, NEW writes only its second macro's bytes and the
    // marks, and the module ends as a whole download of NEW leaves it; a
    // second run of NEW writes nothing at all and says so.
    void aTickedDownloadWritesOnlyWhatDiffers() {
        m_rig->open();
        auto& tab = m_rig->tab();
        QVERIFY(!tab.writeChangedOnlyBox->isChecked());
        m_rig->chooseCombination(0);
        tab.downloadButton->click();
        const int wholeWrites = m_rig->module.writesReceived();

        tab.writeChangedOnlyBox->setChecked(true);
        m_rig->chooseCombination(1);
        bool frameDuringRead = false;
        const int reads = m_rig->module.readsReceived();
        m_rig->pump.setIdleHook([&] {
            if (m_rig->module.readsReceived() > reads &&
                m_rig->module.writesReceived() == wholeWrites) {
                frameDuringRead = frameDuringRead || tab.ProgressFrame->isVisible();
            }
        });
        tab.downloadButton->click();
        m_rig->pump.setIdleHook({});
        QVERIFY(frameDuringRead);
        QVERIFY(tab.ProgressFrame->isHidden());
        QCOMPARE(m_rig->module.eeprom(), afterWholeDownloads({0, 1}));
        const int changedWrites = m_rig->module.writesReceived() - wholeWrites;
        // The second images differ (14 bytes against 13 at most), the
        // start entry and name of slot 1, and "Z" and "X".
        QVERIFY(changedWrites > 2);
        QVERIFY(changedWrites < wholeWrites / 2);
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Information);

        const std::size_t shown = m_rig->prompter().messages.size();
        const int before = m_rig->module.writesReceived();
        tab.downloadButton->click();
        QCOMPARE(m_rig->module.writesReceived(), before);
        QCOMPARE(m_rig->prompter().messages.size(), shown + 1);
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Information);
        QVERIFY(m_rig->prompter().messages.back().text !=
                m_rig->prompter().messages[shown - 1].text);
        QVERIFY(tab.downloadButton->isEnabled());
        QVERIFY(tab.writeChangedOnlyBox->isEnabled());
    }

    // A blank module holds no complete download: the ticked box gives the
    // whole download.
    void aTickedDownloadOnABlankModuleIsTheWholeOne() {
        m_rig->open();
        m_rig->tab().writeChangedOnlyBox->setChecked(true);
        m_rig->chooseCombination(1);
        m_rig->tab().downloadButton->click();
        QCOMPARE(m_rig->module.eeprom(), afterWholeDownloads({1}));
    }

    // Esc while the module is being read ends the run before any write.
    void escDuringTheReadWritesNothing() {
        auto& window = m_rig->open();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto& tab = m_rig->tab();
        m_rig->chooseCombination(0);
        tab.downloadButton->click();
        const std::vector<uint8_t> held = m_rig->module.eeprom();
        const int before = m_rig->module.writesReceived();
        tab.writeChangedOnlyBox->setChecked(true);
        m_rig->chooseCombination(1);
        bool pressed = false;
        const int reads = m_rig->module.readsReceived();
        m_rig->pump.setIdleHook([&] {
            if (!pressed && m_rig->module.readsReceived() > reads) {
                pressed = true;
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus != nullptr ? focus : &m_rig->tab(), Qt::Key_Escape);
            }
        });
        tab.downloadButton->click();
        m_rig->pump.setIdleHook({});
        QVERIFY(pressed);
        QCOMPARE(m_rig->module.writesReceived(), before);
        QCOMPARE(m_rig->module.eeprom(), held);
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Information);
        QVERIFY(tab.ProgressFrame->isHidden());
    }

    void theBoxIsRememberedInTheWindowsSettings() {
        const QString file = QString::fromStdString(m_rig->dataDir() + "/window.ini");
        {
            QSettings settings(file, QSettings::IniFormat);
            m_rig->fixture.layoutSettings = &settings;
            m_rig->open();
            QVERIFY(!m_rig->tab().writeChangedOnlyBox->isChecked());
            m_rig->tab().writeChangedOnlyBox->setChecked(true);
            m_rig->fixture.window.reset();
        }
        QSettings settings(file, QSettings::IniFormat);
        m_rig->fixture.layoutSettings = &settings;
        m_rig->open();
        QVERIFY(m_rig->tab().writeChangedOnlyBox->isChecked());
        m_rig->tab().writeChangedOnlyBox->setChecked(false);
        m_rig->fixture.window.reset();
        QSettings again(file, QSettings::IniFormat);
        m_rig->fixture.layoutSettings = &again;
        m_rig->open();
        QVERIFY(!m_rig->tab().writeChangedOnlyBox->isChecked());
        m_rig->fixture.window.reset();
        m_rig->fixture.layoutSettings = nullptr;
    }

    // With nothing read yet, Save Image reads first; a raw image is the
    // E2PROM as the module holds it. A second save of the same read reads
    // nothing more; a download in between makes it read again.
    void saveImageReadsFirstAndWritesARawImage() {
        m_rig->open();
        m_rig->chooseCombination(0);
        m_rig->tab().downloadButton->click();
        auto& readBack = m_rig->window().readBackTab();
        const std::string raw = m_rig->dataDir() + "/module.img";
        readBack.askImageFileName = [&] { return QString::fromStdString(raw); };
        const std::size_t shown = m_rig->prompter().messages.size();
        const int readsBefore = m_rig->module.readsReceived();
        readBack.saveImageButton->click();
        QCOMPARE(m_rig->prompter().messages.size(), shown);
        QVERIFY(m_rig->module.readsReceived() > readsBefore);
        const std::vector<uint8_t>& e = m_rig->module.eeprom();
        QCOMPARE(brindle::testing::readBytes(raw), std::string(e.begin(), e.end()));

        const int readsAfter = m_rig->module.readsReceived();
        readBack.saveImageButton->click();
        QCOMPARE(m_rig->module.readsReceived(), readsAfter);

        m_rig->chooseCombination(1);
        m_rig->tab().downloadButton->click();
        const int readsBeforeSecond = m_rig->module.readsReceived();
        readBack.saveImageButton->click();
        QVERIFY(m_rig->module.readsReceived() > readsBeforeSecond);
        const std::vector<uint8_t>& now = m_rig->module.eeprom();
        QCOMPARE(brindle::testing::readBytes(raw), std::string(now.begin(), now.end()));
    }

    // ".hex": every location the file holds is the module's byte, and every
    // byte the module holds that is not erased is in the file. (The file's
    // layout is the backup format's own test.)
    void saveImageWritesIntelHexForAHexName() {
        m_rig->open();
        m_rig->chooseCombination(1);
        m_rig->tab().downloadButton->click();
        auto& readBack = m_rig->window().readBackTab();
        const std::string path = m_rig->dataDir() + "/module.HEX";
        readBack.askImageFileName = [&] { return QString::fromStdString(path); };
        readBack.saveImageButton->click();
        QVERIFY(brindle::testing::readBytes(path).rfind(":", 0) == 0);
        const auto saved = brindle::contents::readBackupFile(path);
        QVERIFY(saved.ok());
        const std::vector<uint8_t>& e = m_rig->module.eeprom();
        for (int location = 0; location < static_cast<int>(e.size()); ++location) {
            const uint8_t held = e[static_cast<std::size_t>(location)];
            if (saved->known(location)) {
                QCOMPARE(int{*saved->at(location)}, int{held});
            } else {
                QVERIFY2(held == 0xFF, std::to_string(location).c_str());
            }
        }
    }

    // A blank module, a declined dialog and a folder that cannot hold the
    // file: nothing is saved, and the first and last say why.
    void saveImageRefusesHonestly() {
        m_rig->open();
        auto& readBack = m_rig->window().readBackTab();
        const std::string path = m_rig->dataDir() + "/blank.hex";
        readBack.askImageFileName = [&] { return QString::fromStdString(path); };
        readBack.saveImageButton->click();
        QCOMPARE(m_rig->prompter().messages.size(), std::size_t{1});
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Critical);
        QVERIFY(!QFile::exists(QString::fromStdString(path)));

        m_rig->chooseCombination(0);
        m_rig->tab().downloadButton->click();
        const std::size_t shown = m_rig->prompter().messages.size();
        const int reads = m_rig->module.readsReceived();
        readBack.askImageFileName = [] { return QString(); };
        readBack.saveImageButton->click();
        QCOMPARE(m_rig->module.readsReceived(), reads);
        QCOMPARE(m_rig->prompter().messages.size(), shown);

        const std::string nowhere = m_rig->dataDir() + "/no such folder/module.bin";
        readBack.askImageFileName = [&] { return QString::fromStdString(nowhere); };
        readBack.saveImageButton->click();
        QCOMPARE(m_rig->prompter().messages.size(), shown + 1);
        QCOMPARE(m_rig->prompter().messages.back().icon, Icon::Critical);
        QVERIFY(!QFile::exists(QString::fromStdString(nowhere)));
    }

    // Two dumps that disagree at one byte: a further dump settles it, and the
    // image saved is the module's, byte for byte, with no message.
    void saveImageSettlesAByteTheFirstDumpsDisagreeOn() {
        brindle::sim::ModuleOptions options;
        options.corruptDumpOffset = 30;
        m_rig = std::make_unique<LinkWindowFixture>(options);
        prepareLibrary(*m_rig);
        m_rig->open();
        m_rig->chooseCombination(0);
        m_rig->tab().downloadButton->click();
        auto& readBack = m_rig->window().readBackTab();
        const std::string path = m_rig->dataDir() + "/module.bin";
        readBack.askImageFileName = [&] { return QString::fromStdString(path); };
        const std::size_t shown = m_rig->prompter().messages.size();
        readBack.saveImageButton->click();
        QCOMPARE(m_rig->prompter().messages.size(), shown);
        const std::vector<uint8_t>& e = m_rig->module.eeprom();
        QCOMPARE(brindle::testing::readBytes(path), std::string(e.begin(), e.end()));
    }

  private:
    std::unique_ptr<LinkWindowFixture> m_rig;
};

QTEST_MAIN(ModuleContentsWindowTest)
#include "module_contents_window_test.moc"
