// "Download to several ports...": the ticked ports only, one progress bar per
// port, each port's result; fake modules on virtual time behind each line.
// Before Qt's headers, whose "emit" would rename the fake module's own.
#include "sim/fake_gang_rig.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app/gang_download_dialog.h"
#include "base/text.h"
#include "state/eeprom_layout.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;

class GangDownloadDialogTest : public QObject {
    Q_OBJECT

  private:
    brindle::testing::TempDir dir;
    download::DownloadPlan plan;
    std::vector<std::vector<uint8_t>> eeproms{3};
    std::vector<std::string> asked;

    app::GangDownloadDialog::GangMaker maker() {
        return [this](const std::vector<std::string>& chosen) {
            asked = chosen;
            state::MainState window;
            return std::make_unique<download::GangDownload>(
                chosen, window, plan,
                [this, chosen](std::size_t i, link::SharedSignals& shared,
                               download::DownloadView& view, link::ReceiveView& receive) {
                    sim::ModuleOptions options;
                    options.baud = 38400;
                    options.silent = chosen[i] == "/dev/deaf";
                    return std::make_unique<sim::FakeGangRig>(shared, view, receive, options,
                                                              eeproms[i]);
                });
        };
    }

  private slots:
    void initTestCase() {
        const int32_t first = testing::addMacro(dir.path(), "FIRST", testing::kWorkedExample);
        testing::addCombo(dir.path(), "ONE", {{0, first}}, 2, 1);
        auto planned =
            download::planDownload(dir.path(), base::fixedWidth("ONE", 16), state::kMacroArea);
        QVERIFY(planned && *planned);
        plan = **planned;
    }

    void tickedPortsGetABarEachAndTheirResults() {
        app::GangDownloadDialog dialog("ONE", {"/dev/a", "/dev/deaf", "/dev/c"}, maker());
        QCOMPARE(dialog.GangPorts->count(), 3);
        QVERIFY(!dialog.GangTable->isVisibleTo(&dialog));

        // Nothing ticked: nothing starts.
        QTest::mouseClick(dialog.GangStart, Qt::LeftButton);
        QVERIFY(asked.empty());
        QVERIFY(dialog.GangPorts->isVisibleTo(&dialog));

        dialog.GangPorts->item(1)->setCheckState(Qt::Checked);
        dialog.GangPorts->item(2)->setCheckState(Qt::Checked);
        QTest::mouseClick(dialog.GangStart, Qt::LeftButton);
        QCOMPARE(asked, (std::vector<std::string>{"/dev/deaf", "/dev/c"}));
        QVERIFY(dialog.GangTable->isVisibleTo(&dialog));
        QVERIFY(dialog.GangCancel->isVisibleTo(&dialog));
        QVERIFY(!dialog.GangClose->isEnabled());
        QCOMPARE(dialog.GangTable->rowCount(), 2);

        dialog.waitForGang();
        QCOMPARE(dialog.GangTable->item(0, 0)->text(), QStringLiteral("/dev/deaf"));
        QCOMPARE(dialog.GangTable->item(1, 0)->text(), QStringLiteral("/dev/c"));
        auto* deaf = qobject_cast<QProgressBar*>(dialog.GangTable->cellWidget(0, 1));
        auto* good = qobject_cast<QProgressBar*>(dialog.GangTable->cellWidget(1, 1));
        QVERIFY(deaf && good);
        QCOMPARE(deaf->value(), 0);
        QCOMPARE(good->value(), 100);
        QCOMPARE(dialog.GangTable->item(1, 2)->text(), QStringLiteral("Download successful"));
        QVERIFY(dialog.GangTable->item(0, 2)->text().startsWith("A download failure occurred"));
        QVERIFY(dialog.GangClose->isEnabled());
        QVERIFY(!dialog.GangCancel->isEnabled());
        // The good line's module holds the image, marked complete.
        QCOMPARE(eeprom(1, 3), 'X');
        QVERIFY(eeprom(0, 3) != 'X');
    }

    // Esc while the lines run is Cancel: the dialog stays until they have
    // ended, and no module is left marked complete that was not finished.
    void escapeWhileRunningCancelsAndKeepsTheDialog() {
        eeproms.assign(3, {});
        app::GangDownloadDialog dialog("ONE", {"/dev/deaf", "/dev/c"}, maker());
        dialog.show();
        dialog.GangPorts->item(0)->setCheckState(Qt::Checked);
        dialog.GangPorts->item(1)->setCheckState(Qt::Checked);
        QTest::mouseClick(dialog.GangStart, Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.GangCancel->isEnabled());
        dialog.waitForGang();
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.GangClose->isEnabled());
        const bool goodFinished =
            dialog.GangTable->item(1, 2)->text() == QStringLiteral("Download successful");
        QCOMPARE(eeprom(1, 3) == 'X', goodFinished);
        QVERIFY(eeprom(0, 3) != 'X');
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    }

  private:
    char eeprom(std::size_t line, int at) { return static_cast<char>(eeproms[line][at]); }
};

QTEST_MAIN(GangDownloadDialogTest)
#include "gang_download_dialog_test.moc"
