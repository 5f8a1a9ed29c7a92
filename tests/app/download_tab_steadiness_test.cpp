// The Down Load tab while a run goes on, as a user sees and drives it, against
// the fake Macro Module on virtual time: nothing in the tab moves or resizes
// and the window keeps its size while the progress frame appears, rewrites
// its captions and goes; the keyboard focus waits on Cancel, never on a check
// box, and comes back to the button that started the run; Esc presses Cancel;
// the status bar names the port the run opened while it runs.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <map>
#include <set>

#include "app/setup_tab.h"
#include "tests/app/link_window_fixture.h"

using brindle::testing::LinkWindowFixture;

namespace {

enum class Run { Download, DownloadBesideTheClearFrame, ExecuteBlock, Clear };

// Where every laid-out widget of the tab is, in the tab's coordinates, and
// where the window is, once the layouts have taken in every change so far,
// as the event loop would before the next paint. A widget is laid out when
// its parent shows: a hidden frame keeps its room, but what is inside it has
// no place until it shows.
using Geometry = std::map<const QWidget*, QRect>;

Geometry geometryOf(const QWidget& window, QWidget& tab) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    Geometry g;
    g[&window] = window.geometry();
    for (const QWidget* w : tab.findChildren<QWidget*>()) {
        if (w->parentWidget()->isVisible()) {
            g[w] = QRect(w->mapTo(&tab, QPoint(0, 0)), w->size());
        }
    }
    return g;
}

// The widgets laid out in both records whose place differs, named for the
// message.
QString moved(const Geometry& before, const Geometry& now) {
    QStringList out;
    for (const auto& [w, rect] : before) {
        const auto it = now.find(w);
        if (it != now.end() && it->second != rect) {
            const QRect to = it->second;
            out << QStringLiteral("%1 %2 from %3,%4 %5x%6 to %7,%8 %9x%10")
                       .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                       .arg(rect.x())
                       .arg(rect.y())
                       .arg(rect.width())
                       .arg(rect.height())
                       .arg(to.x())
                       .arg(to.y())
                       .arg(to.width())
                       .arg(to.height());
        }
    }
    return out.join(QStringLiteral("; "));
}

}  // namespace

Q_DECLARE_METATYPE(Run)

class DownloadTabSteadinessTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { m_rig = std::make_unique<LinkWindowFixture>(); }
    void cleanup() { m_rig.reset(); }

    // Started from the keyboard, as a user without a mouse would.
    void aRunMovesNothingKeepsTheFocusOffTheBoxesAndNamesTheOpenPort_data() {
        QTest::addColumn<Run>("run");
        QTest::newRow("download") << Run::Download;
        QTest::newRow("download beside the clear frame") << Run::DownloadBesideTheClearFrame;
        QTest::newRow("execute block") << Run::ExecuteBlock;
        QTest::newRow("clear") << Run::Clear;
    }
    void aRunMovesNothingKeepsTheFocusOffTheBoxesAndNamesTheOpenPort() {
        QFETCH(Run, run);
        QPushButton* button = prepare(run);
        auto& w = m_rig->window();
        auto& tab = m_rig->tab();
        const Geometry before = geometryOf(w, tab);
        const QString portBefore = w.portStatus()->text();

        int samples = 0;
        Geometry firstDuring;
        QString firstMove;
        std::set<QString> captions;
        std::set<const QWidget*> focusDuring;
        QString portDuring;
        m_rig->pump.setIdleHook([&] {
            if (!tab.ProgressFrame->isVisible()) {
                return;
            }
            ++samples;
            captions.insert(tab.progressStatusLine->text() + QLatin1Char('|') +
                            tab.PercentCaption->text() + QLatin1Char('|') + tab.MacroBytes->text());
            focusDuring.insert(QApplication::focusWidget());
            portDuring = w.portStatus()->text();
            const Geometry now = geometryOf(w, tab);
            if (firstDuring.empty()) {
                firstDuring = now;
            }
            // Against the tab before the run, and the frame's parts against
            // their first place while the captions change.
            const QString move = moved(before, now) + moved(firstDuring, now);
            if (firstMove.isEmpty() && !move.isEmpty()) {
                firstMove = QStringLiteral("at sample %1 (%2): %3")
                                .arg(samples)
                                .arg(tab.progressStatusLine->text(), move);
            }
        });
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
        m_rig->pump.setIdleHook({});

        QVERIFY(samples > 0);
        // The captions did change while the frame was watched (a block
        // command shows one caption and no percentage).
        if (run != Run::ExecuteBlock) {
            QVERIFY2(captions.size() > 1, qPrintable(QString::number(captions.size())));
        }
        QVERIFY2(firstMove.isEmpty(), qPrintable(firstMove));
        const QString after = moved(before, geometryOf(w, tab));
        QVERIFY2(after.isEmpty(), qPrintable(after));

        QCOMPARE(focusDuring, (std::set<const QWidget*>{tab.progressCancelButton}));
        QCOMPARE(QApplication::focusWidget(), button);

        // The run opened the port and the bar said so while it ran.
        QVERIFY(portDuring != portBefore);
        QCOMPARE(portDuring, w.portStatus()->text());
    }

    void escapePressesCancel_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<std::string>("ending");
        QTest::newRow("download") << Run::Download << std::string("A download failure occurred");
        QTest::newRow("clear") << Run::Clear << std::string("Clear Program Process Unsuccessful ");
    }

    void escapePressesCancel() {
        QFETCH(Run, run);
        QFETCH(std::string, ending);
        QPushButton* button = prepare(run);
        int writesAtEscape = -1;
        m_rig->pump.setIdleHook([&] {
            if (writesAtEscape < 0 && m_rig->module.writesReceived() >= 3) {
                writesAtEscape = m_rig->module.writesReceived();
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus != nullptr ? focus : &m_rig->tab(), Qt::Key_Escape);
            }
        });
        button->click();
        m_rig->pump.setIdleHook({});

        QVERIFY(writesAtEscape >= 0);
        QVERIFY(m_rig->window().link()->CancelFlag);
        // At most the write under way went out after Esc.
        QVERIFY(m_rig->module.writesReceived() <= writesAtEscape + 1);
        QCOMPARE(m_rig->prompter().messages.back().text, ending);
    }

    // Between runs Esc is left to the controls: the next run is whole.
    void escapeBetweenRunsCancelsNothing() {
        QPushButton* button = prepare(Run::Download);
        QTest::keyClick(button, Qt::Key_Escape);
        button->click();
        QCOMPARE(m_rig->prompter().messages.back().text, std::string("Download successful"));
    }

  private:
    // Two macros of a combination for node 7, chosen on the Down Load tab of
    // a shown, active window; the module answers as node 7. Returns the
    // button that starts the run.
    QPushButton* prepare(Run run) {
        const int32_t first = m_rig->addMacro("FIRST", brindle::testing::kWorkedExample);
        const int32_t second = m_rig->addMacro("SECOND", brindle::testing::kSecondMacro);
        m_rig->addCombo("TWO", {{0, first}, {2, second}}, 7, 3);
        m_rig->module.eeprom()[0] = 7;
        auto& w = m_rig->open();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w)) {
            qWarning("the window did not become active");
        }
        m_rig->chooseCombination(0);
        auto& tab = m_rig->tab();
        if (run == Run::DownloadBesideTheClearFrame || run == Run::Clear) {
            w.setupTab().EnableClearUtility->setChecked(true);
            m_rig->prompter().messages.clear();
        }
        switch (run) {
            case Run::Download:
            case Run::DownloadBesideTheClearFrame:
                return tab.downloadButton;
            case Run::ExecuteBlock:
                return tab.ExecuteBlock;
            case Run::Clear:
                tab.LowerFill->setText(QStringLiteral("0"));
                tab.UpperFill->setText(QStringLiteral("40"));
                return tab.clearEpromButton;
        }
        return nullptr;
    }

    std::unique_ptr<LinkWindowFixture> m_rig;
};

QTEST_MAIN(DownloadTabSteadinessTest)
#include "download_tab_steadiness_test.moc"
