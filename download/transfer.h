#pragma once
// The Download button: BrindleProcessing writes the chosen combination into
// the module's E2PROM, every byte with WriteAndVerify, in this order:
//   location 3 <- "Z" (image incomplete)
//   for each non-empty slot k: start table 16 + 2k (high, low), the 12-byte
//     name at 526 + 12k, the image bytes from 3586 + image offset
//   header: node address -> 0, starting macro -> 1, macro count -> 2, "X" -> 3
// When QueryReset is still set, the run is a program clear instead: location
// 3 <- "Z" alone.
#include "base/prompter.h"
#include "download/download_plan.h"
#include "download/download_view.h"
#include "link/link_context.h"
#include "state/main_state.h"

namespace brindle::download {

enum class DownloadOutcome {
    NoSelection,  // nothing chosen for download; nothing sent
    Refused,      // the plan was refused before anything was sent
    NotFound,     // the chosen name is not in the database ("Z" was written)
    Succeeded,    // "Download successful"
    Failed,       // "A download failure occurred"
    // Ended before anything was written: Cancel during the quiet probe, the
    // wake-up or the synchronisation, or a talking controller that answered
    // none of the wake-ups.
    Cancelled,
    Unanswered,
    ClearSucceeded,
    ClearFailed,
};

// What a run is asked to do, settled before the port is touched: whether a
// combination was chosen (and how many there were to choose from, for the
// message when none was) and its plan. The window and brindle-cli make it
// from what the user chose.
struct DownloadRequest {
    bool chosen = false;
    int combinationCount = 0;
    // Not made when the run is a program clear (QueryReset).
    PlanResult plan = std::optional<DownloadPlan>();
};

// The request for chosenName (nothing: none chosen) among combinationCount
// combinations: planned in the window's DataDir unless QueryReset makes the
// run a program clear.
DownloadRequest downloadRequest(const state::MainState& window,
                                const std::optional<std::string>& chosenName, int combinationCount);

// The Download button: receive window off, the other operation buttons and
// the receive window box disabled, Synched_Up cleared, the run
// (BrindleProcessing), the buttons enabled again.
DownloadOutcome runDownload(link::LinkContext& ctx, state::MainState& window, DownloadView& view,
                            base::Prompter& prompter, const DownloadRequest& request);

// The Cancel button of the progress frame.
inline void requestCancel(link::LinkContext& ctx) {
    ctx.CancelFlag = true;
}

}  // namespace brindle::download
