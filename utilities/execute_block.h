#pragma once
// Execute Block and Cancel Exec: the controller is told to run one macro
// block of the combination chosen for download, or to stop the running one.
//
//   wake-up      20 ticks of listening; a talking controller gets CR CR and
//                is watched until it shows the sync frame or " Y" CR
//   command      23 node 04 53 block cs 0D; a cancel is 23 41 04 53 00 98 0D
//   confirmation " B " and the character '0' + block in the reply; 5 attempts
//                for an execute, 10 for a cancel, 15 ticks after each send
//
// The block number is the position the selected line of the sequence list
// shows (the controller numbers macros by position), not the line's index.
#include <cstdint>
#include <optional>
#include <string>

#include "base/prompter.h"
#include "link/link_context.h"
#include "state/main_state.h"
#include "utilities/execute_view.h"

namespace brindle::utilities {

inline constexpr int16_t kExecuteProbeTicks = 20;
inline constexpr int16_t kAfterSendTicks = 15;
// How long an attempt waits for the first byte of a reply before it counts
// as failed.
inline constexpr int16_t kFirstReplyTicks = 25;
inline constexpr int kExecuteAttempts = 5;
inline constexpr int kCancelAttempts = 10;
inline constexpr uint8_t kCancelNode = 65;

enum class ExecuteOutcome {
    NoSelection,   // no combination or no block chosen; nothing sent
    NotFound,      // the combination is not in the database; nothing sent
    Refused,       // node address or position cannot be sent; nothing sent
    Confirmed,     // "Execute Command Successful" / "Cancel Command Successful"
    NotConfirmed,  // "A confirmation of block execution was not detected."
    // The wake-up was cancelled, or a talking controller answered none of
    // the wake-ups: the block command was not sent.
    Cancelled,
    Unanswered,
};

// What Execute Block or Cancel Exec asks for, read from the lists before the
// run: the combination chosen in CustomList and the selected line of
// MacrosInCombination (nothing when none), with how many each list holds
// (for the message when nothing is chosen).
struct ExecuteRequest {
    std::optional<std::string> combination;
    int combinationCount = 0;
    std::optional<std::string> line;
    int lineCount = 0;
};

struct BlockCommand {
    uint8_t node = kCancelNode;
    uint8_t block = 0;
    bool cancel = true;
};

// The position a sequence line shows in its first three characters (the
// boot mark '*' aside); nothing when they hold no position.
std::optional<int> sequenceLinePosition(const std::string& line);

// The Execute Block button: the reminder once per chosen combination, the
// buttons disabled around the run, ReceiveBuffer emptied after it.
ExecuteOutcome runExecuteBlock(link::LinkContext& ctx, state::MainState& window, ExecuteView& view,
                               base::Prompter& prompter, const ExecuteRequest& request);
// The Cancel Exec button: as above without the reminder; afterwards the
// receive window's box is unticked.
ExecuteOutcome runCancelExec(link::LinkContext& ctx, const std::string& dataDir, ExecuteView& view,
                             base::Prompter& prompter, const ExecuteRequest& request);

// The run for the request, the combination looked up in dataDir;
// ZeroBlockProcessing says whether it cancels.
ExecuteOutcome ExecuteBlockProcessing(link::LinkContext& ctx, const std::string& dataDir,
                                      ExecuteView& view, base::Prompter& prompter,
                                      const ExecuteRequest& request, bool ZeroBlockProcessing);

// From the port on, for a node and block already known: wake-up, the
// attempts and the report.
ExecuteOutcome sendBlockCommand(link::LinkContext& ctx, ExecuteView& view, base::Prompter& prompter,
                                const BlockCommand& command);

}  // namespace brindle::utilities
