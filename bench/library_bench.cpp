// The library editors on a 10,000-macro library (163 MB of macro records):
// the window's start-up to a filled MacroList, Save Combination of 256 lines
// and choosing a macro. Reports figures against the goals; not a test.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/specify_tab.h"
#include "base/files.h"
#include "base/text.h"
#include "library/combination_editor.h"
#include "library/macro_editor.h"
#include "store/databases.h"
#include "store/leading_fields.h"

namespace {

using namespace brindle;

constexpr int kMacros = 10000;
constexpr int kLines = 256;

class YesPrompter : public base::Prompter {
  public:
    base::Answer show(const std::string&, base::Icon, base::Buttons buttons,
                      const std::string&) override {
        return buttons == base::Buttons::YesNo ? base::Answer::Yes : base::Answer::Ok;
    }
};

std::string macroName(int i) {
    return std::string("M").append(std::to_string(i));
}

// The library, written once: macro i is "M<i>" with a short text.
struct Library {
    Library() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "brindle-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        dir = pattern + "/";
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(kMacros) * store::kMacroRecordLength);
        for (int i = 1; i <= kMacros; ++i) {
            store::MacroRecord r;
            r.Name = base::fixedWidth(macroName(i), store::kMacroNameWidth);
            r.Body = base::fixedWidth(
                std::string("1 MA ").append(std::to_string(i)).append("\r\nMACRO 1"),
                store::kMacroBodyWidth);
            bytes += r.encode();
        }
        if (!base::replaceFile(store::macroDbPath(dir), bytes)) {
            std::abort();
        }
        // 256 lines spread over the library, the last ones near its end.
        for (int j = 0; j < kLines; ++j) {
            const int macro = kMacros - j * (kMacros / kLines);
            form.MacroComboList.push_back(
                store::SequenceLine(j + 1, 0, base::fixedWidth(macroName(macro), 12)));
        }
        form.ComboList = "BIG";
        form.StartingMacroNum = "1";
        form.NodeAddress = "65";
    }
    ~Library() { std::filesystem::remove_all(dir); }

    std::string dir;
    library::ComboForm form;
};

Library* g_library = nullptr;

void windowStartUpToAFilledMacroList(benchmark::State& state) {
    YesPrompter prompter;
    for (auto _ : state) {
        // A program that has just started has scanned nothing yet.
        store::forgetLeadingFields();
        auto window =
            std::make_unique<app::MainWindow>(g_library->dir, app::WindowOptions{&prompter, {}});
        if (window->specifyTab().MacroList->count() != kMacros) {
            state.SkipWithError("MacroList not filled");
        }
        // Closing the window is not part of the start-up.
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}

void save(benchmark::State& state, bool scanEveryTime) {
    state::MainState main;
    main.DataDir = g_library->dir;
    YesPrompter prompter;
    for (auto _ : state) {
        if (scanEveryTime) {
            store::forgetLeadingFields();
        }
        library::ComboEdit edit = library::saveCombination(main, g_library->form, prompter);
        if (edit.outcome != library::EditOutcome::Done) {
            state.SkipWithError("the save failed");
        }
    }
}

void saveCombinationOf256Lines(benchmark::State& state) {
    save(state, false);
}

void saveCombinationOf256LinesAfterAChange(benchmark::State& state) {
    save(state, true);
}

void choose(benchmark::State& state, bool scanEveryTime) {
    state::MainState main;
    main.DataDir = g_library->dir;
    const std::string entry =
        base::fixedWidth(macroName(static_cast<int>(state.range(0))), store::kMacroNameWidth);
    for (auto _ : state) {
        if (scanEveryTime) {
            store::forgetLeadingFields();
        }
        library::MacroEdit edit = library::chooseMacro(main, entry);
        benchmark::DoNotOptimize(edit.MacroText);
    }
}

// The usual case: the names of an unchanged database are remembered.
void choosingAMacro(benchmark::State& state) {
    choose(state, false);
}

// The first look-up after the database changed: every name is read again.
void choosingAMacroAfterAChange(benchmark::State& state) {
    choose(state, true);
}

}  // namespace

BENCHMARK(windowStartUpToAFilledMacroList)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(saveCombinationOf256Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(saveCombinationOf256LinesAfterAChange)->Unit(benchmark::kMillisecond);
BENCHMARK(choosingAMacro)->Arg(1)->Arg(kMacros)->Unit(benchmark::kMillisecond);
BENCHMARK(choosingAMacroAfterAChange)->Arg(1)->Arg(kMacros)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::printf("Building a library of %d macros...\n", kMacros);
    Library library;
    g_library = &library;
    // A library in use was not written a moment ago: names scanned within two
    // seconds of a change are not remembered.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    std::printf(
        "Goals: start-up <= 500 ms, Save Combination of %d lines <= 50 ms, choosing a "
        "macro <= 10 ms\n",
        kLines);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
