#pragma once
// The clear utility: 0 written into E2PROM locations first..last, one at a
// time, each followed by a read until the module answers 0:
//   write  23 41 06 57 hi lo 00 cs 0D
//   read   23 41 05 52 hi lo cs 0D
//   reply  23 4D 04 52 00 A3 0D      (one matching reply verifies the location)
// The reply text lives for the whole run, so a late reply is still found by a
// later attempt. A location not verified within RetryLimit attempts ends the
// run.
#include <functional>
#include <string>

#include "base/prompter.h"
#include "link/link_context.h"
#include "state/main_state.h"
#include "utilities/clear_view.h"

namespace brindle::utilities {

enum class ClearOutcome {
    EmptyRange,  // first not below last: nothing sent, no message
    Refused,     // a location outside 0..32767: a message, nothing sent
    Succeeded,   // "Clear Program Process Successful! "
    Failed,      // "Clear Program Process Unsuccessful "
};

// The Enable Clear Utility box: ticking shows the clear frame and then the
// warning; unticking hides the frame.
void EnableClearUtility(bool ticked, const std::function<void(bool)>& showClearFrame,
                        base::Prompter& prompter);

// The Ok button: QueryReset set, Synched_Up cleared, Download and the clear
// frame disabled around the run. The range comes as the texts of the Start
// and End fields.
ClearOutcome runClearUtility(link::LinkContext& ctx, state::MainState& window, ClearView& view,
                             base::Prompter& prompter, const std::string& lowerFill,
                             const std::string& upperFill);

ClearOutcome ClearEprom(link::LinkContext& ctx, state::MainState& window, ClearView& view,
                        base::Prompter& prompter, const std::string& lowerFill,
                        const std::string& upperFill);

// The percentage shown for location, between first and last.
int clearPercent(int first, int last, int location);

}  // namespace brindle::utilities
