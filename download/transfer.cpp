#include "download/transfer.h"

#include <cstdint>
#include <optional>
#include <string>

#include "base/numeric.h"
#include "base/text.h"
#include "link/exchange.h"
#include "link/initialize_port.h"
#include "link/percent_caption.h"
#include "link/sync_with_module.h"
#include "link/write_and_verify.h"
#include "state/eeprom_layout.h"
#include "store/records.h"

namespace brindle::download {
namespace {

constexpr const char* kFailure = "A download failure occurred";
constexpr auto kIncomplete = static_cast<uint8_t>(state::kImageIncomplete);
constexpr auto kComplete = static_cast<uint8_t>(state::kImageComplete);

// One run's working data.
struct Run {
    link::LinkContext& ctx;
    state::MainState& window;
    DownloadView& view;
    base::Prompter& prompter;
    std::string receiveText;
    // Counted only while a download (not a program clear) runs.
    OverallProgress overall;
    int64_t startedMicros = 0;

    base::Status write(int location, uint8_t value) {
        base::Status written =
            link::WriteAndVerify(ctx, static_cast<int16_t>(location), value, receiveText);
        if (written && overall.bytesTotal > 0) {
            ++overall.bytesWritten;
            overall.secondsLeft = secondsLeft(overall.bytesWritten, overall.bytesTotal,
                                              ctx.pump.nowMicros() - startedMicros);
            view.showOverallProgress(overall);
        }
        return written;
    }

    // A Cancel can come while a byte is verified, and the byte still be
    // confirmed: the run ends there all the same.
    base::Status notCancelled() const {
        return ctx.CancelFlag ? base::Status::failure("The download was cancelled")
                              : base::Status::success();
    }

    void startOverall(const std::optional<DownloadPlan>& plan) {
        overall = OverallProgress{};
        overall.bytesTotal = plan ? bytesToWrite(*plan) : 1;
        overall.macroCount = plan ? static_cast<int>(plan->macros.size()) : 0;
        startedMicros = ctx.pump.nowMicros();
        view.showOverallProgress(overall);
    }

    void endOverall() {
        overall.ended = true;
        view.showOverallProgress(overall);
    }

    void showPercent(int counter, int total) {
        const double exact = 100.0 * counter / total;
        const int percent = static_cast<int>(base::roundHalfEven(exact));
        view.showProgress(percent);
        view.setPercentCaption(link::percentCaption(percent, 6));
    }
};

void closingSteps(Run& run) {
    if (run.ctx.lines.ReceiveWindowTicked) {
        run.ctx.shared.ReceiveWindowActive = true;
    }
    run.view.enableReceiveWindowBox(true);
}

DownloadOutcome programClear(Run& run) {
    link::discardInput(run.ctx);
    run.ctx.pump.doEvents();
    run.receiveText.clear();
    run.ctx.port.InputLen(1);
    run.ctx.pump.doEvents();
    link::clearCancelFlag(run.ctx);
    const base::Status confirmed = run.write(state::kImageStateLocation, kIncomplete);
    run.window.QueryReset = false;
    run.view.showProgressFrame(false);
    if (confirmed) {
        run.prompter.show("Clear Program Process Successful", base::Icon::Information,
                          base::Buttons::Ok);
    } else {
        run.prompter.show(link::withPortFailure("Clear Program Process Unsuccessful", run.ctx.port),
                          base::Icon::Critical, base::Buttons::Ok);
    }
    closingSteps(run);
    return confirmed ? DownloadOutcome::ClearSucceeded : DownloadOutcome::ClearFailed;
}

// Writes one macro's start-table entry, name and image; ends at the first
// byte that fails.
base::Status writeMacro(Run& run, const PlannedMacro& macro, int imageOffset) {
    const link::LinkContext& st = run.ctx;
    const int n = static_cast<int>(macro.image.size());
    run.view.setMacroSize(std::to_string(n) + " Bytes");
    const int total = n + 14;
    int counter = 2;
    if (!st.CancelFlag) {
        run.view.showProgress(0);
        run.view.setPercentCaption(link::percentCaption(0, 6));
    }
    const int start = state::kMacroArea + imageOffset;
    const int entry = state::kStartTable + 2 * macro.slot;
    if (base::Status s = run.write(entry, static_cast<uint8_t>(start / 256)); !s) {
        return s;
    }
    if (base::Status s = run.write(entry + 1, static_cast<uint8_t>(start % 256)); !s) {
        return s;
    }
    const std::string name = base::fixedWidth(macro.record.Name, store::kMacroNameWidth);
    for (int c = 0; c < 12; ++c) {
        ++counter;
        if (!st.CancelFlag) {
            run.showPercent(counter, total);
        }
        const int location = state::kNameTable + 12 * macro.slot + c;
        if (base::Status s = run.write(location, static_cast<uint8_t>(name[c])); !s) {
            return s;
        }
    }
    for (int j = 0; j < n; ++j) {
        ++counter;
        if (counter <= total && !st.CancelFlag) {
            run.showPercent(counter, total);
        }
        const auto value = static_cast<uint8_t>(macro.image[static_cast<std::size_t>(j)]);
        if (base::Status s = run.write(start + j, value); !s) {
            return s;
        }
    }
    return base::Status::success();
}

// The header, the complete mark "X" last.
base::Status writeHeader(Run& run, const DownloadPlan& plan, int macroCount) {
    link::LinkContext& st = run.ctx;
    const std::pair<int, int> fields[] = {
        {state::kNodeAddressLocation, plan.combo.NodeAddress},
        {state::kBootMacroLocation, plan.combo.StartingMacroNum},
        {state::kMacroCountLocation, macroCount},
    };
    for (const auto& [location, value] : fields) {
        if (base::Status s = run.write(location, static_cast<uint8_t>(value)); !s) {
            return s;
        }
    }
    if (base::Status s = run.notCancelled(); !s) {
        return s;
    }
    base::Status marked = run.write(state::kImageStateLocation, kComplete);
    if (st.CancelFlag) {
        // The "X" may have reached the module before the failure was seen:
        // put the incomplete mark back, so that a run reported as failed or
        // cancelled never leaves "X" behind. That one byte is written even
        // while the program is ending (the window closing, Ctrl-C), unless
        // the port has failed; a second request to end stops it as well.
        const int accepted = st.closingAccepted;
        st.closingAccepted = st.shared.Closing.requests();
        link::clearCancelFlag(run.ctx);
        // The run has failed whatever this write does.
        base::skipOnError(run.write(state::kImageStateLocation, kIncomplete));
        st.closingAccepted = accepted;
        st.CancelFlag = true;
        return marked ? run.notCancelled() : marked;
    }
    return marked;
}

DownloadOutcome download(Run& run, const std::optional<DownloadPlan>& planned) {
    link::clearCancelFlag(run.ctx);
    run.startOverall(planned);
    // The incomplete mark goes first; a failure here does not end the run,
    // whose own writes say whether it worked.
    base::skipOnError(run.write(state::kImageStateLocation, kIncomplete));

    run.view.showMacroSize(true);
    link::clearCancelFlag(run.ctx);  // a Cancel before this point does not stop the run
    if (!planned) {
        run.endOverall();
        run.view.showProgressFrame(false);
        closingSteps(run);
        return DownloadOutcome::NotFound;
    }
    const DownloadPlan& plan = *planned;
    run.view.showProgressFrame(true);
    int macroCount = 0;
    int imageOffset = 0;
    run.view.enableSequenceList(false);
    base::Status written = base::Status::success();
    for (const PlannedMacro& macro : plan.macros) {
        if (written) {
            written = run.notCancelled();
        }
        if (!written) {
            break;
        }
        ++macroCount;
        run.view.setStatusLine("Downloading Macro" + base::decimalText(macro.slot + 1, true));
        run.overall.macro = macroCount;
        run.overall.macroName = base::trimTrailingBlanks(macro.record.Name);
        run.view.showOverallProgress(run.overall);
        run.view.selectSequenceLine(macro.slot);
        written = writeMacro(run, macro, imageOffset);
        imageOffset += static_cast<int>(macro.image.size());
    }
    run.view.setMacroSize("");

    if (written) {
        written = run.notCancelled();
    }
    if (written) {
        written = writeHeader(run, plan, macroCount);
    }
    const bool success = written.ok();
    run.endOverall();
    if (success) {
        run.prompter.show("Download successful", base::Icon::Information, base::Buttons::Ok);
    } else {
        run.prompter.show(link::withPortFailure(kFailure, run.ctx.port), base::Icon::Critical,
                          base::Buttons::Ok);
    }
    run.view.showProgressFrame(false);
    run.view.enableSequenceList(true);
    closingSteps(run);
    return success ? DownloadOutcome::Succeeded : DownloadOutcome::Failed;
}

// The wake-up was cancelled or never answered: the run ends before its
// first write, and says so.
DownloadOutcome endUnwoken(Run& run, link::SyncOutcome sync) {
    run.view.showProgressFrame(false);
    const bool clear = run.window.QueryReset;
    if (sync == link::SyncOutcome::Unanswered) {
        run.prompter.show(link::wakeUpUnansweredMessage(run.ctx.WakeUpLimit) +
                              " Nothing was written to the Macro Module.",
                          base::Icon::Critical, base::Buttons::Ok);
    } else {
        run.prompter.show(clear ? "The clear was cancelled before anything was written to the "
                                  "Macro Module."
                                : "The download was cancelled before anything was written to "
                                  "the Macro Module.",
                          base::Icon::Information, base::Buttons::Ok);
    }
    closingSteps(run);
    return sync == link::SyncOutcome::Unanswered ? DownloadOutcome::Unanswered
                                                 : DownloadOutcome::Cancelled;
}

DownloadOutcome BrindleProcessing(link::LinkContext& ctx, state::MainState& window,
                                  DownloadView& view, base::Prompter& prompter,
                                  const DownloadRequest& request) {
    Run run{ctx, window, view, prompter, {}, {}, 0};
    view.setMacroSize("");
    if (!request.chosen) {
        prompter.show(request.combinationCount > 0 ? "A macro combination has not been selected."
                                                   : "No macro combinations have yet been created.",
                      base::Icon::Critical, base::Buttons::Ok);
        view.showProgressFrame(false);
        closingSteps(run);
        return DownloadOutcome::NoSelection;
    }

    // Everything that can be known before the first byte goes out is checked
    // here, so a refusal never leaves the module half-written.
    std::optional<DownloadPlan> plan;
    if (!window.QueryReset) {
        const PlanResult& planned = request.plan;
        if (!planned) {
            prompter.show(planned.message(), base::Icon::Critical, base::Buttons::Ok);
            view.showProgressFrame(false);
            closingSteps(run);
            return DownloadOutcome::Refused;
        }
        plan = *planned;
    }

    view.setStatusLine("Downloading..");
    // Ticking a ticked box again changes nothing.
    view.setConvertStatusArguments(true);
    ctx.pump.doEvents();
    link::openForOperation(ctx, link::Reopen::Always);
    view.showProgressFrame(true);
    view.showProgress(0);
    view.setPercentCaption(link::percentCaption(0, 5));
    link::discardInput(run.ctx);
    ctx.port.InputLen(1);
    ctx.pump.doEvents();
    const link::SyncOutcome sync = link::SyncWithModule(ctx, run.receiveText);
    if (!link::mayProceed(sync)) {
        return endUnwoken(run, sync);
    }
    view.setStatusLine("Downloading..");
    run.receiveText.clear();
    if (window.QueryReset) {
        return programClear(run);
    }
    return download(run, plan);
}

}  // namespace

DownloadRequest downloadRequest(const state::MainState& window,
                                const std::optional<std::string>& chosenName,
                                int combinationCount) {
    DownloadRequest request;
    request.chosen = chosenName.has_value();
    request.combinationCount = combinationCount;
    if (chosenName && !window.QueryReset) {
        request.plan = planDownload(window.DataDir, *chosenName, state::kMacroArea);
    }
    return request;
}

DownloadOutcome runDownload(link::LinkContext& ctx, state::MainState& window, DownloadView& view,
                            base::Prompter& prompter, const DownloadRequest& request) {
    ctx.shared.ReceiveWindowActive = false;
    view.enableReceiveWindowBox(false);
    view.enableOperationButtons(false);
    ctx.Synched_Up = false;
    DownloadOutcome outcome = BrindleProcessing(ctx, window, view, prompter, request);
    view.enableOperationButtons(true);
    return outcome;
}

}  // namespace brindle::download
