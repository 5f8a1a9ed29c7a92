#pragma once
// What an editor operation did, for the window (which only applies the new
// form values) and for brindle-cli (which turns it into an exit status).
#include <utility>

#include "base/status.h"

namespace brindle::library {

enum class EditOutcome {
    Done,      // the operation did its work
    Stopped,   // nothing to act on (no entry chosen, no line selected, no name)
    NotFound,  // the named record is not in the database
    Refused,   // refused with a message; nothing was written
    Declined,  // the user answered No or Cancel; nothing was written
    Failed,    // a file step failed; the failure says which
};

// Shared by the editors' outcome records.
struct EditResult {
    EditOutcome outcome = EditOutcome::Stopped;
    // Why a file step failed, for the caller to report.
    base::Status failure = base::Status::success();

    void fail(base::Status status) {
        outcome = EditOutcome::Failed;
        failure = std::move(status);
    }
};

}  // namespace brindle::library
