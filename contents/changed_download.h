#pragma once
// Download with "changed bytes only", beside the whole download: the module
// is read first (contents_reader.h), and
//   - when it holds no complete download (location 3 is not "X", or cannot
//     be read), the whole download runs as the Download button's does;
//   - when every byte the download would write is known to be there already,
//     nothing at all is written (not even "Z"), and the run says so;
//   - otherwise "Z" goes to location 3, then only the bytes that differ or
//     are not known for certain, in the download's order, then "X", each
//     written and verified as the download does (marked_writes.h).
// Also the restore of a backup, written the same way, every byte of it.
#include <string>

#include "base/prompter.h"
#include "contents/change_plan.h"
#include "contents/module_contents.h"
#include "download/download_plan.h"
#include "download/download_view.h"
#include "download/transfer.h"
#include "link/link_context.h"
#include "state/main_state.h"

namespace brindle::contents {

inline constexpr const char* kNothingChanged =
    "The Macro Module already holds this combination: nothing was written.";
inline constexpr const char* kDownloadSucceeded = "Download successful";
inline constexpr const char* kDownloadFailed = "A download failure occurred";
inline constexpr const char* kRestoreSucceeded = "Restore successful";
inline constexpr const char* kRestoreFailed =
    "The restore failed: the Macro Module holds an incomplete image (location 3 is not \"X\").";

struct ChangedDownloadResult {
    // Succeeded, Failed, Cancelled, Unanswered (the wake-up), or what the
    // whole download returned; Refused/NotFound for a plan that has none.
    download::DownloadOutcome outcome = download::DownloadOutcome::Failed;
    bool wholeDownload = false;  // the module held no complete download
    bool unchanged = false;      // nothing differed: nothing was written
    int bytesWritten = 0;        // confirmed, "Z" and "X" included
    ChangePlan changes;          // what was found to differ
};

// The run, as the Download button's: receive window and operation buttons
// off while it lasts, the final message through the prompter.
// A request the whole download would refuse, or one without a plan (nothing
// chosen, a program clear pending, a name not in the database), goes to the
// Download's own run.
ChangedDownloadResult runChangedOnlyDownload(link::LinkContext& ctx, state::MainState& window,
                                             download::DownloadView& view, base::Prompter& prompter,
                                             const download::DownloadRequest& request);

struct RestoreResult {
    download::DownloadOutcome outcome = download::DownloadOutcome::Failed;
    int bytesWritten = 0;
};

// Writes every known location of a backup but location 3, in ascending
// order, between "Z" and "X".
RestoreResult runRestore(link::LinkContext& ctx, download::DownloadView& view,
                         base::Prompter& prompter, const ModuleContents& backup);

}  // namespace brindle::contents
