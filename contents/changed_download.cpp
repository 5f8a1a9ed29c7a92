#include "contents/changed_download.h"

#include "base/text.h"
#include "contents/contents_reader.h"
#include "contents/marked_writes.h"
#include "link/exchange.h"
#include "link/sync_with_module.h"
#include "state/eeprom_layout.h"

namespace brindle::contents {

namespace {

// The buttons and the receive window box, as the Download button handles them.
class ButtonsOff {
  public:
    explicit ButtonsOff(link::LinkContext& ctx, download::DownloadView& view)
        : m_ctx(ctx), m_view(view) {
        m_view.enableReceiveWindowBox(false);
        m_view.enableOperationButtons(false);
    }
    ~ButtonsOff() {
        if (m_ctx.lines.ReceiveWindowTicked) {
            m_ctx.shared.ReceiveWindowActive = true;
        }
        m_view.enableReceiveWindowBox(true);
        m_view.enableOperationButtons(true);
    }
    ButtonsOff(const ButtonsOff&) = delete;
    ButtonsOff& operator=(const ButtonsOff&) = delete;

  private:
    link::LinkContext& m_ctx;
    download::DownloadView& m_view;
};

download::DownloadOutcome unwoken(link::LinkContext& ctx, base::Prompter& prompter) {
    if (ctx.WakeUpUnanswered) {
        prompter.show(link::wakeUpUnansweredMessage(ctx.WakeUpLimit) +
                          " Nothing was written to the Macro Module.",
                      base::Icon::Critical, base::Buttons::Ok);
        return download::DownloadOutcome::Unanswered;
    }
    prompter.show(
        link::withPortFailure(
            "The run was cancelled before anything was written to the Macro Module.", ctx.port),
        base::Icon::Information, base::Buttons::Ok);
    return download::DownloadOutcome::Cancelled;
}

std::vector<std::string> macroNames(const download::DownloadPlan& plan) {
    std::vector<std::string> names;
    for (const download::PlannedMacro& macro : plan.macros) {
        names.push_back(base::trimTrailingBlanks(macro.record.Name));
    }
    return names;
}

}  // namespace

ChangedDownloadResult runChangedOnlyDownload(link::LinkContext& ctx, state::MainState& window,
                                             download::DownloadView& view, base::Prompter& prompter,
                                             const download::DownloadRequest& request) {
    ChangedDownloadResult result;
    // Nothing chosen, a program clear still pending, a refused plan or a name
    // the database does not hold: the Download's own run, with its messages.
    if (!request.chosen || window.QueryReset || !request.plan || !*request.plan) {
        result.wholeDownload = true;
        result.outcome = download::runDownload(ctx, window, view, prompter, request);
        return result;
    }
    const download::DownloadPlan& plan = **request.plan;
    {
        ButtonsOff off(ctx, view);
        view.setStatusLine("Reading the Macro Module..");
        if (!openAndWake(ctx)) {
            result.outcome = unwoken(ctx, prompter);
            return result;
        }
        ModuleContents held;
        const ReadEnd end = readModuleContents(ctx, singleReadLocations(plan), true, held);
        if (end == ReadEnd::Cancelled) {
            result.outcome = unwoken(ctx, prompter);
            return result;
        }
        if (end == ReadEnd::Read) {
            result.changes = planChanges(plan, held, state::kMacroArea);
            if (result.changes.nothingDiffers()) {
                result.unchanged = true;
                result.outcome = download::DownloadOutcome::Succeeded;
                prompter.show(kNothingChanged, base::Icon::Information, base::Buttons::Ok);
                return result;
            }
            view.setStatusLine("Downloading changed bytes..");
            view.enableSequenceList(false);
            const MarkedWritesResult written =
                writeMarked(ctx, view, result.changes.writes, macroNames(plan));
            view.enableSequenceList(true);
            result.bytesWritten = written.confirmed;
            result.outcome = written.succeeded ? download::DownloadOutcome::Succeeded
                                               : download::DownloadOutcome::Failed;
            if (written.succeeded) {
                prompter.show(kDownloadSucceeded, base::Icon::Information, base::Buttons::Ok);
            } else {
                prompter.show(link::withPortFailure(kDownloadFailed, ctx.port),
                              base::Icon::Critical, base::Buttons::Ok);
            }
            return result;
        }
    }
    // No complete download to build on: the whole download, as the button runs it.
    result.wholeDownload = true;
    result.outcome = download::runDownload(ctx, window, view, prompter, request);
    return result;
}

RestoreResult runRestore(link::LinkContext& ctx, download::DownloadView& view,
                         base::Prompter& prompter, const ModuleContents& backup) {
    RestoreResult result;
    ButtonsOff off(ctx, view);
    view.setStatusLine("Restoring..");
    if (!openAndWake(ctx)) {
        result.outcome = unwoken(ctx, prompter);
        return result;
    }
    std::vector<TargetByte> writes;
    // The tables and the macro area first, the header last, as a download
    // orders them.
    const auto take = [&](int location) {
        if (backup.known(location)) {
            writes.push_back({location, *backup.at(location), kHeaderEntry});
        }
    };
    for (int location = state::kImageStateLocation + 1; location < state::kLocationCount;
         ++location) {
        take(location);
    }
    for (int location = 0; location < state::kImageStateLocation; ++location) {
        take(location);
    }
    const MarkedWritesResult written = writeMarked(ctx, view, writes, {});
    result.bytesWritten = written.confirmed;
    result.outcome = written.succeeded ? download::DownloadOutcome::Succeeded
                                       : download::DownloadOutcome::Failed;
    if (written.succeeded) {
        prompter.show(kRestoreSucceeded, base::Icon::Information, base::Buttons::Ok);
    } else {
        prompter.show(link::withPortFailure(kRestoreFailed, ctx.port), base::Icon::Critical,
                      base::Buttons::Ok);
    }
    return result;
}

}  // namespace brindle::contents
