#include "utilities/execute_block.h"

#include "base/numeric.h"
#include "base/text.h"
#include "link/exchange.h"
#include "link/frames.h"
#include "link/initialize_port.h"
#include "link/receive_window.h"
#include "link/sync_with_module.h"
#include "store/databases.h"
#include "store/records.h"

namespace brindle::utilities {

namespace {

constexpr std::size_t kPositionField = 3;
constexpr int kLargestBlock = 255;

void restoreReceiveWindow(link::LinkContext& ctx) {
    if (ctx.lines.ReceiveWindowTicked) {
        ctx.shared.ReceiveWindowActive = true;
    }
}

// Selection checks; true when the run may go on.
bool checkSelection(const ExecuteRequest& request, base::Prompter& prompter, bool cancel) {
    if (!request.combination) {
        prompter.show(request.combinationCount > 0 ? "A macro combination has not been selected."
                                                   : "No macro combinations have yet been created.",
                      base::Icon::Critical, base::Buttons::Ok);
        return false;
    }
    if (!cancel && !request.line) {
        prompter.show(request.lineCount > 0 ? "A macro (block) has not been selected."
                                            : "No macros or blocks have been defined.",
                      base::Icon::Critical, base::Buttons::Ok);
        return false;
    }
    return true;
}

void refuse(base::Prompter& prompter, const std::string& why) {
    prompter.show(why + " Nothing was sent to the controller.", base::Icon::Critical,
                  base::Buttons::Ok);
}

// One attempt's reply: what has arrived once the confirmation is complete
// (or one tick after the first byte, and at least the time a reply takes to
// cross the line), or nothing when no byte came within kFirstReplyTicks.
std::string awaitReply(link::LinkContext& ctx, const std::string& confirmation) {
    ctx.port.InputLen(0);
    std::string reply;
    if (link::probeForInput(ctx, kFirstReplyTicks)) {
        reply = link::settleForReply(ctx, 1, confirmation, "");
        link::drain(ctx, reply);
    }
    return reply;
}

}  // namespace

std::optional<int> sequenceLinePosition(const std::string& line) {
    if (line.size() < kPositionField) {
        return std::nullopt;
    }
    std::string field = line.substr(0, kPositionField);
    for (char& c : field) {
        if (c == '*') {
            c = ' ';
        }
    }
    const std::string digits = base::trimBlanks(field);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int position = std::stoi(digits);
    return position > 0 ? std::optional<int>(position) : std::nullopt;
}

ExecuteOutcome sendBlockCommand(link::LinkContext& ctx, ExecuteView& view, base::Prompter& prompter,
                                const BlockCommand& command) {
    ctx.shared.ReceiveWindowActive = false;
    view.showCancelFrame(true);
    const std::string caption = command.cancel
                                    ? std::string("Cancelling block execution")
                                    : "Executing block" + base::decimalText(command.block, true);
    ctx.operation.setStatusLine(caption);
    link::openForOperation(ctx, link::Reopen::Always);
    link::discardInput(ctx);
    ctx.port.InputLen(1);
    link::yieldEvents(ctx);
    std::string syncText;
    const link::SyncOutcome sync = link::SyncWithModule(ctx, syncText, kExecuteProbeTicks);
    if (!link::mayProceed(sync)) {
        // Nothing but the wake-up went out: the block command is not sent.
        view.showCancelFrame(false);
        if (sync == link::SyncOutcome::Unanswered) {
            prompter.show(
                link::wakeUpUnansweredMessage(ctx.WakeUpLimit) + " The block command was not sent.",
                base::Icon::Critical, base::Buttons::Ok);
        } else {
            prompter.show("The block command was cancelled before it was sent.",
                          base::Icon::Information, base::Buttons::Ok);
        }
        view.enableSequenceList(true);
        restoreReceiveWindow(ctx);
        return sync == link::SyncOutcome::Unanswered ? ExecuteOutcome::Unanswered
                                                     : ExecuteOutcome::Cancelled;
    }

    ctx.operation.setStatusLine(caption);  // the wake-up may have shown its own
    view.showMacroSize(true);
    link::clearCancelFlag(ctx);
    const std::string frame = link::startBlockFrame(command.node, command.block);
    const std::string confirmation = link::blockConfirmation(command.block);
    const int limit = command.cancel ? kCancelAttempts : kExecuteAttempts;
    bool confirmed = false;
    int attempts = 0;
    while (!confirmed && !ctx.CancelFlag && attempts < limit) {
        ctx.port.InputLen(1);
        link::sendFrame(ctx, frame);
        link::settle(ctx, kAfterSendTicks);
        std::string reply = awaitReply(ctx, confirmation);
        if (reply.find(confirmation) != std::string::npos) {
            confirmed = true;
        } else {
            ++attempts;
        }
        link::viewbuffer(ctx.lines, reply);
    }

    view.showCancelFrame(false);
    if (confirmed) {
        ctx.lines.ReceiveBuffer.clear();
        prompter.show(command.cancel ? "Cancel Command Successful" : "Execute Command Successful",
                      base::Icon::Information, base::Buttons::Ok);
    } else {
        prompter.show(
            link::withPortFailure("A confirmation of block execution was not detected.", ctx.port),
            base::Icon::Information, base::Buttons::Ok);
    }
    view.enableSequenceList(true);
    restoreReceiveWindow(ctx);
    return confirmed ? ExecuteOutcome::Confirmed : ExecuteOutcome::NotConfirmed;
}

ExecuteOutcome ExecuteBlockProcessing(link::LinkContext& ctx, const std::string& dataDir,
                                      ExecuteView& view, base::Prompter& prompter,
                                      const ExecuteRequest& request, bool ZeroBlockProcessing) {
    const bool cancel = ZeroBlockProcessing;
    ctx.shared.ReceiveWindowActive = false;
    if (!checkSelection(request, prompter, cancel)) {
        return ExecuteOutcome::NoSelection;
    }
    BlockCommand command;
    command.cancel = cancel;
    std::optional<int> position;
    if (!cancel) {
        position = sequenceLinePosition(*request.line);
        if (!position) {
            prompter.show("A macro (block) has not been selected.", base::Icon::Critical,
                          base::Buttons::Ok);
            return ExecuteOutcome::NoSelection;
        }
    }
    view.enableSequenceList(false);
    // Ticking a ticked box again changes nothing.
    view.setConvertStatusArguments(true);
    link::yieldEvents(ctx);

    // The combination is looked up before the port is touched, so that a
    // missing one or a node address that cannot be sent costs no traffic.
    const std::string name = base::fixedWidth(*request.combination, store::kComboNameWidth);
    const auto match = store::FindCombo(dataDir, name);
    if (!match) {
        view.enableSequenceList(true);
        return ExecuteOutcome::NotFound;
    }
    if (!cancel) {
        const int node = match->record.NodeAddress;
        if (node < 0 || node > 255) {
            refuse(prompter, "The node address" + base::decimalText(node, true) +
                                 " of combination \"" + base::trimTrailingBlanks(name) +
                                 "\" cannot be sent: node addresses run from 0 to 255.");
            view.enableSequenceList(true);
            return ExecuteOutcome::Refused;
        }
        if (*position > kLargestBlock) {
            refuse(prompter, "Macro position" + base::decimalText(*position, true) +
                                 " cannot be sent: block numbers run from 1 to 255.");
            view.enableSequenceList(true);
            return ExecuteOutcome::Refused;
        }
        command.node = static_cast<uint8_t>(node);
        command.block = static_cast<uint8_t>(*position);
    }
    return sendBlockCommand(ctx, view, prompter, command);
}

ExecuteOutcome runExecuteBlock(link::LinkContext& ctx, state::MainState& window, ExecuteView& view,
                               base::Prompter& prompter, const ExecuteRequest& request) {
    if (!window.NotifyExecute) {
        prompter.show(
            "Make sure that the macro combination denoted here has already been downloaded to "
            "the destination E-PROM.",
            base::Icon::Exclamation, base::Buttons::Ok, "Confirm Code in E-PROM");
        window.NotifyExecute = true;
    }
    view.enableOperationButtons(false);
    ctx.Synched_Up = false;
    const ExecuteOutcome outcome =
        ExecuteBlockProcessing(ctx, window.DataDir, view, prompter, request, false);
    view.enableOperationButtons(true);
    ctx.lines.ReceiveBuffer.clear();
    return outcome;
}

ExecuteOutcome runCancelExec(link::LinkContext& ctx, const std::string& dataDir, ExecuteView& view,
                             base::Prompter& prompter, const ExecuteRequest& request) {
    view.enableOperationButtons(false);
    ctx.Synched_Up = false;
    const ExecuteOutcome outcome =
        ExecuteBlockProcessing(ctx, dataDir, view, prompter, request, true);
    view.enableOperationButtons(true);
    view.untickReceiveWindow();
    ctx.shared.ReceiveWindowActive = false;
    ctx.lines.ReceiveBuffer.clear();
    return outcome;
}

}  // namespace brindle::utilities
