// The window's size, position and tab between runs: what the closed window
// leaves in its settings the next window takes up; stored values that make
// no sense leave the window where a first start puts it, on the Read back tab.
#include <QSettings>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "tests/app/window_fixture.h"

using brindle::testing::WindowFixture;

namespace {

constexpr int kReadBackTab = 1;

}  // namespace

class WindowPlaceTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_fixture = std::make_unique<WindowFixture>();
        m_path = QString::fromStdString(m_fixture->file("place.ini"));
    }
    void cleanup() { m_fixture.reset(); }

    // The place: where the window stands and how much larger than its
    // smallest size it was made.
    void theNextWindowOpensWhereTheLastOneClosed_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QRect>("place");
        QTest::newRow("Specify Macros, large") << 0 << QRect(40, 60, 400, 300);
        QTest::newRow("Down Load, smallest") << 2 << QRect(200, 120, 0, 0);
        QTest::newRow("Setup, wide") << 3 << QRect(10, 80, 500, 10);
        QTest::newRow("Read back, tall") << kReadBackTab << QRect(300, 200, 20, 250);
    }

    void theNextWindowOpensWhereTheLastOneClosed() {
        QFETCH(int, tab);
        QFETCH(QRect, place);
        {
            QSettings settings(m_path, QSettings::IniFormat);
            m_fixture->layoutSettings = &settings;
            auto& first = m_fixture->open();
            first.show();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            place.setSize(first.minimumSize() + place.size());
            first.setGeometry(place);
            QCOMPARE(first.geometry(), place);
            first.SSTab1()->setCurrentIndex(tab);
            QVERIFY(first.close());
        }
        // A new settings object on the same file, as in the program's next run.
        QSettings settings(m_path, QSettings::IniFormat);
        m_fixture->layoutSettings = &settings;
        auto& second = m_fixture->open();
        QCOMPARE(second.SSTab1()->currentIndex(), tab);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.geometry(), place);
        m_fixture->window.reset();
    }

    // Every stored value replaced by nonsense: a tab that does not exist, a
    // negative one, text where a number belongs.
    void nonsenseInTheSettingsOpensTheWindowAsAtFirstStart_data() {
        QTest::addColumn<QVariant>("nonsense");
        QTest::newRow("past the last tab") << QVariant(9);
        QTest::newRow("negative") << QVariant(-1);
        QTest::newRow("text") << QVariant(QStringLiteral("Setup"));
    }

    void nonsenseInTheSettingsOpensTheWindowAsAtFirstStart() {
        QFETCH(QVariant, nonsense);
        m_fixture->layoutSettings = nullptr;
        auto& plain = m_fixture->open();
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        const QSize firstSize = plain.size();
        m_fixture->window.reset();

        QSettings settings(m_path, QSettings::IniFormat);
        m_fixture->layoutSettings = &settings;
        auto& first = m_fixture->open();
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        first.setGeometry(QRect(50, 50, firstSize.width() + 211, firstSize.height() + 97));
        first.SSTab1()->setCurrentIndex(3);
        QVERIFY(first.close());
        const QStringList keys = settings.allKeys();
        QVERIFY(!keys.isEmpty());
        for (const QString& key : keys) {
            settings.setValue(key, nonsense);
        }
        settings.sync();

        auto& second = m_fixture->open();
        QCOMPARE(second.SSTab1()->currentIndex(), kReadBackTab);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.size(), firstSize);
        m_fixture->window.reset();
    }

  private:
    std::unique_ptr<WindowFixture> m_fixture;
    QString m_path;
};

QTEST_MAIN(WindowPlaceTest)
#include "window_place_test.moc"
