#pragma once
// A window with the fake Macro Module attached as its controller link, on
// virtual time: a whole download runs through the widgets in milliseconds.
// The pump, module and port are declared before the window's fixture so that
// the window goes first, as in the program.
#include <QComboBox>
#include <QListWidget>
#include <QStringList>
#include <QTabWidget>
#include <initializer_list>
#include <string>
#include <utility>

// The fake module has a member named emit, which Qt's keyword macro would
// rewrite: hide the macro while its header is read.
#pragma push_macro("emit")
#undef emit
#include "sim/fake_module.h"
#pragma pop_macro("emit")
#include "sim/virtual_pump.h"
#include "store/databases.h"
#include "tests/app/window_fixture.h"
#include "tests/support/library_builder.h"

namespace brindle::testing {

inline constexpr int kDownloadTabIndex = 2;

class LinkWindowFixture {
  public:
    explicit LinkWindowFixture(sim::ModuleOptions options = {})
        : module(pump, std::move(options)), port(pump, module) {}

    // The window on the prepared folder, with the link attached.
    app::MainWindow& open() {
        app::MainWindow& window = windowOnly();
        window.attachLink(port, pump);
        return window;
    }
    // The window without a link.
    app::MainWindow& windowOnly() {
        app::MainWindow& window = fixture.open();
        window.SSTab1()->setCurrentIndex(kDownloadTabIndex);
        window.show();
        return window;
    }
    app::MainWindow& window() { return *fixture.window; }
    app::DownloadTab& tab() { return fixture.window->downloadTab(); }
    ScriptedPrompter& prompter() { return fixture.prompter; }
    const std::string& dataDir() const { return fixture.dir.path(); }

    int32_t addMacro(const std::string& name, const std::string& text) {
        return testing::addMacro(dataDir(), name, text);
    }
    // filled: (0-based slot, macro record number); the other slots are empty.
    void addCombo(const std::string& name, std::initializer_list<std::pair<int, int32_t>> filled,
                  int16_t node, int16_t boot) {
        testing::addCombo(dataDir(), name, filled, node, boot);
    }
    // What the toolkit does when the user picks a combinationChoice entry.
    void chooseCombination(int entry) {
        tab().combinationChoice->setCurrentIndex(entry);
        Q_EMIT tab().combinationChoice->activated(entry);
    }
    std::string eeprom(int from, int count) {
        const auto& e = module.eeprom();
        return std::string(e.begin() + from, e.begin() + from + count);
    }

    sim::VirtualPump pump;
    sim::FakeModule module;
    sim::FakePort port;
    WindowFixture fixture;
};

// The texts of a list's entries, in order.
inline QStringList entries(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->item(i)->text();
    }
    return out;
}

}  // namespace brindle::testing
