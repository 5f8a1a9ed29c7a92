#include "download/transfer.h"

#include <cstdint>
#include <string>

#include "base/numeric.h"
#include "base/text.h"
#include "download/download_plan.h"
#include "link/exchange.h"
#include "link/initialize_port.h"
#include "link/sync_with_module.h"
#include "link/write_and_verify.h"
#include "store/records.h"

namespace brindle::download {
namespace {

constexpr const char* kFailure = "A download failure occurred";
constexpr uint8_t kIncomplete = 'Z';
constexpr uint8_t kComplete = 'X';

// One run's working data.
struct Run {
    link::LinkContext& ctx;
    DownloadView& view;
    base::Prompter& prompter;
    std::string receiveText;
    int tries = 0;

    state::MainState& state() { return ctx.state; }

    bool write(int location, uint8_t value) {
        link::WriteResult r =
            link::WriteAndVerify(ctx, static_cast<int16_t>(location), value, receiveText);
        tries = r.tries;
        return r.confirmed;
    }

    void showPercent(int counter, int total) {
        const double exact = 100.0 * counter / total;
        const int percent = static_cast<int>(base::roundHalfEven(exact));
        view.SetProgress(percent);
        view.SetPercentCaption(percentCaption(percent));
    }
};

void closingSteps(Run& run) {
    if (run.ctx.receive.Check1Checked()) {
        run.state().ReceiveWindowActive = true;
    }
    run.view.SetCheck1Enabled(true);
}

DownloadOutcome programClear(Run& run) {
    link::discardInput(run.ctx);
    run.ctx.pump.DoEvents();
    run.receiveText.clear();
    run.ctx.port.InputLen(1);
    run.ctx.pump.DoEvents();
    run.tries = 0;
    run.state().CancelFlag = false;
    const bool confirmed = run.write(3, kIncomplete);
    run.state().QueryReset = false;
    run.view.SetProgressFrameVisible(false);
    if (confirmed) {
        run.prompter.show("Clear Program Process Successful", base::Icon::Information,
                          base::Buttons::Ok);
    } else {
        run.prompter.show("Clear Program Process Unsuccessful", base::Icon::Critical,
                          base::Buttons::Ok);
    }
    closingSteps(run);
    return confirmed ? DownloadOutcome::ClearSucceeded : DownloadOutcome::ClearFailed;
}

// Writes one macro's start-table entry, name and image.
void writeMacro(Run& run, const PlannedMacro& macro, int imageOffset) {
    state::MainState& st = run.state();
    const int n = static_cast<int>(macro.image.size());
    run.view.SetMacroBytes(std::to_string(n) + " Bytes");
    const int total = n + 14;
    int counter = 2;
    if (!st.CancelFlag) {
        run.view.SetProgress(0);
        run.view.SetPercentCaption(percentCaption(0));
    }
    const int start = st.MacroArea + imageOffset;
    run.write(st.StartTable + 2 * macro.slot, static_cast<uint8_t>(start / 256));
    run.write(st.StartTable + 2 * macro.slot + 1, static_cast<uint8_t>(start % 256));
    const std::string name = base::fixedWidth(macro.record.Name, store::kMacroNameWidth);
    for (int c = 0; c < 12; ++c) {
        ++counter;
        if (!st.CancelFlag) {
            run.showPercent(counter, total);
        }
        run.write(st.NameTable + 12 * macro.slot + c, static_cast<uint8_t>(name[c]));
    }
    for (int j = 0; j < n; ++j) {
        ++counter;
        if (counter <= total && !st.CancelFlag) {
            run.showPercent(counter, total);
        }
        run.write(start + j, static_cast<uint8_t>(macro.image[static_cast<std::size_t>(j)]));
    }
}

bool failed(Run& run) {
    return run.state().CancelFlag || run.tries >= run.state().RetryLimit;
}

DownloadOutcome download(Run& run, const PlanResult& planned) {
    state::MainState& st = run.state();
    st.CancelFlag = false;
    run.write(3, kIncomplete);

    run.view.SetMacroBytesVisible(true);
    st.CancelFlag = false;  // a Cancel before this point does not stop the run
    if (!planned.plan) {
        run.view.SetProgressFrameVisible(false);
        closingSteps(run);
        return DownloadOutcome::NotFound;
    }
    const DownloadPlan& plan = *planned.plan;
    run.view.SetProgressFrameVisible(true);
    run.tries = 0;
    int macroCount = 0;
    int imageOffset = 0;
    run.view.SetMacrosInCombinationEnabled(false);
    for (const PlannedMacro& macro : plan.macros) {
        if (st.CancelFlag || run.tries >= st.RetryLimit) {
            break;
        }
        ++macroCount;
        run.view.SetLabel6("Downloading Macro" + base::decimalText(macro.slot + 1, true));
        st.MacroBuffer = macro.record;
        if (macro.slot < run.view.MacrosInCombinationCount()) {
            run.view.MacrosInCombinationSelect(macro.slot);
        }
        writeMacro(run, macro, imageOffset);
        imageOffset += static_cast<int>(macro.image.size());
    }
    run.view.SetMacroBytes("");

    bool success = false;
    if (!failed(run)) {
        run.write(0, static_cast<uint8_t>(plan.combo.NodeAddress));
        run.write(1, static_cast<uint8_t>(plan.combo.StartingMacroNum));
        run.write(2, static_cast<uint8_t>(macroCount));
        if (!st.CancelFlag) {
            run.write(3, kComplete);
            if (st.CancelFlag) {
                // The "X" may have reached the module before the failure was
                // seen: put the incomplete mark back, so that a run reported
                // as failed never leaves "X" behind.
                st.CancelFlag = false;
                run.write(3, kIncomplete);
                st.CancelFlag = true;
            }
        }
        success = !st.CancelFlag;
    }
    if (success) {
        run.prompter.show("Download successful", base::Icon::Information, base::Buttons::Ok);
    } else {
        run.prompter.show(kFailure, base::Icon::Critical, base::Buttons::Ok);
    }
    run.view.SetProgressFrameVisible(false);
    run.view.SetMacrosInCombinationEnabled(true);
    closingSteps(run);
    return success ? DownloadOutcome::Succeeded : DownloadOutcome::Failed;
}

}  // namespace

std::string percentCaption(int percent) {
    std::string padded = "      " + std::to_string(percent);
    return padded.substr(padded.size() - 7) + " % Complete";
}

DownloadOutcome BrindleProcessing(link::LinkContext& ctx, DownloadView& view,
                                  base::Prompter& prompter) {
    Run run{ctx, view, prompter, {}, 0};
    state::MainState& st = ctx.state;
    view.SetMacroBytes("");
    if (view.CustomListSelectedIndex() < 0) {
        prompter.show(view.CustomListCount() > 0 ? "A macro combination has not been selected."
                                                 : "No macro combinations have yet been created.",
                      base::Icon::Critical, base::Buttons::Ok);
        view.SetProgressFrameVisible(false);
        closingSteps(run);
        return DownloadOutcome::NoSelection;
    }

    // Everything that can be known before the first byte goes out is checked
    // here, so a refusal never leaves the module half-written.
    PlanResult planned;
    if (!st.QueryReset) {
        planned = planDownload(st.DataDir, view.CustomListText(), st.MacroArea);
        if (planned.found && !planned.plan) {
            prompter.show(planned.refusal, base::Icon::Critical, base::Buttons::Ok);
            view.SetProgressFrameVisible(false);
            closingSteps(run);
            return DownloadOutcome::Refused;
        }
    }

    view.SetLabel6("Downloading..");
    if (!view.StatArgumentChecked()) {
        view.SetStatArgumentChecked(true);
        ctx.pump.DoEvents();
    }
    if (!st.StartComm) {
        st.StartComm = true;
        link::InitializePort(ctx);
    }
    view.SetProgressFrameVisible(true);
    view.SetProgress(0);
    view.SetPercentCaption("     0 % Complete");
    if (ctx.port.PortOpen()) {
        ctx.port.SetPortOpen(false);
    }
    ctx.port.SetPortOpen(true);
    link::discardInput(run.ctx);
    ctx.port.InputLen(1);
    ctx.pump.DoEvents();
    link::SyncWithModule(ctx, run.receiveText);
    view.SetLabel6("Downloading..");
    run.receiveText.clear();
    run.tries = 0;
    if (st.QueryReset) {
        return programClear(run);
    }
    return download(run, planned);
}

DownloadOutcome QuickCmdClick(link::LinkContext& ctx, DownloadView& view,
                              base::Prompter& prompter) {
    ctx.state.ReceiveWindowActive = false;
    view.SetCheck1Enabled(false);
    view.SetOperationButtonsEnabled(false);
    ctx.state.Synched_Up = false;
    DownloadOutcome outcome = BrindleProcessing(ctx, view, prompter);
    view.SetOperationButtonsEnabled(true);
    return outcome;
}

}  // namespace brindle::download
