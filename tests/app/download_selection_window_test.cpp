// Choosing the combination to download on the Down Load tab: combinationChoice lists
// the combination's macros in MacrosInCombination and selects the boot line.
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/specify_tab.h"
#include "tests/app/link_window_fixture.h"

using brindle::testing::LinkWindowFixture;
namespace store = brindle::store;

using brindle::testing::entries;

class DownloadSelectionWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_rig = std::make_unique<LinkWindowFixture>();
        alpha = m_rig->addMacro("ALPHA", "1 MA 1");
        beta = m_rig->addMacro("BETA", "2 MA 2");
        gamma = m_rig->addMacro("GAMMA", "3 MA 3");
    }
    void cleanup() { m_rig.reset(); }

    void choosingACombinationListsItsMacrosWithTheBootLineSelectedAfterAnEmptySlot() {
        m_rig->addCombo("C", {{0, alpha}, {2, gamma}}, 7, 3);
        m_rig->open();
        QListWidget* list = m_rig->tab().MacrosInCombination;
        list->setEnabled(false);
        m_rig->window().state().NotifyExecute = true;

        m_rig->chooseCombination(0);

        QCOMPARE(entries(list), (QStringList{"  1  ALPHA       ", "* 3  GAMMA       "}));
        QCOMPARE(list->currentRow(), 1);
        QVERIFY(list->item(1)->isSelected());
        QVERIFY(list->isEnabled());
        QVERIFY(!m_rig->window().state().NotifyExecute);
    }

    void aCombinationWithoutABootMacroIsListedWithNothingSelected() {
        m_rig->addCombo("C", {{0, alpha}, {1, beta}}, 7, 3);  // slot 3 is empty
        m_rig->open();
        m_rig->chooseCombination(0);
        QListWidget* list = m_rig->tab().MacrosInCombination;
        QCOMPARE(entries(list), (QStringList{"  1  ALPHA       ", "  2  BETA        "}));
        QCOMPARE(list->currentRow(), -1);
        QVERIFY(list->selectedItems().isEmpty());
    }

    void choosingAnotherCombinationReplacesTheListAndAnEmptySequenceClearsIt() {
        m_rig->addCombo("FIRST", {{0, beta}}, 1, 1);
        m_rig->addCombo("EMPTY", {}, 1, 0);
        m_rig->open();
        QListWidget* list = m_rig->tab().MacrosInCombination;
        m_rig->chooseCombination(0);
        QCOMPARE(entries(list), (QStringList{"* 1  BETA        "}));
        QCOMPARE(list->currentRow(), 0);
        m_rig->chooseCombination(1);
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->currentRow(), -1);
    }

    void aNameNoLongerInTheDatabaseLeavesTheListAsItWasButEnablesIt() {
        m_rig->addCombo("KEEP", {{0, alpha}}, 1, 1);
        m_rig->addCombo("GONE", {{0, beta}}, 1, 1);
        m_rig->open();
        m_rig->chooseCombination(0);
        // The second record loses its name after the lists were filled.
        store::ComboRecord blank;
        QVERIFY(static_cast<bool>(store::writeCombo(m_rig->dataDir(), 2, blank)));
        QListWidget* list = m_rig->tab().MacrosInCombination;
        list->setEnabled(false);
        m_rig->window().state().NotifyExecute = true;

        m_rig->chooseCombination(1);

        QCOMPARE(entries(list), (QStringList{"* 1  ALPHA       "}));
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(list->isEnabled());
        QVERIFY(!m_rig->window().state().NotifyExecute);
    }

    void theListingNeedsNoSerialLink() {
        m_rig->addCombo("C", {{0, gamma}}, 1, 1);
        m_rig->windowOnly();
        m_rig->chooseCombination(0);
        QCOMPARE(entries(m_rig->tab().MacrosInCombination), (QStringList{"* 1  GAMMA       "}));
        QVERIFY(m_rig->prompter().messages.empty());
    }

    // Deleting on Specify Macros: the chosen combination's deletion leaves
    // nothing chosen; another's deletion keeps the choice and its list.
    void deletingTheChosenCombinationLeavesNothingChosen() {
        m_rig->addCombo("A", {{0, alpha}}, 1, 1);
        m_rig->addCombo("B", {{0, beta}}, 1, 1);
        m_rig->addCombo("C", {{0, gamma}}, 1, 1);
        m_rig->windowOnly();
        brindle::app::SpecifyTab& specify = m_rig->window().specifyTab();
        QComboBox* custom = m_rig->tab().combinationChoice;
        QListWidget* list = m_rig->tab().MacrosInCombination;
        const auto deleteNamed = [&](const QString& name) {
            specify.ComboList->setEditText(name);
            QTest::mouseClick(specify.DeleteCombo, Qt::LeftButton);
        };

        m_rig->chooseCombination(1);
        deleteNamed(QStringLiteral("A"));
        QCOMPARE(custom->currentIndex(), 0);
        QCOMPARE(custom->currentText(), QStringLiteral("B               "));
        QCOMPARE(entries(list), QStringList{"* 1  BETA        "});

        m_rig->window().state().NotifyExecute = true;
        deleteNamed(QStringLiteral("B"));
        QCOMPARE(custom->count(), 1);
        QCOMPARE(custom->currentIndex(), -1);
        QCOMPARE(list->count(), 0);
        QVERIFY(!m_rig->window().state().NotifyExecute);
    }

  private:
    std::unique_ptr<LinkWindowFixture> m_rig;
    int32_t alpha = 0;
    int32_t beta = 0;
    int32_t gamma = 0;
};

QTEST_MAIN(DownloadSelectionWindowTest)
#include "download_selection_window_test.moc"
