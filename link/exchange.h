#pragma once
// The steps every exchange with the module is made of: sending a frame byte by
// byte, settling for a count of ticks, draining the port into a receive text.
// Every wait blocks in Pump::waitForEvent until the next tick or byte.
#include <cstdint>
#include <string>

#include "link/link_context.h"

namespace brindle::link {

// Output waiting without a byte leaving for this long (plus its line time)
// means the device is gone or stopped.
inline constexpr int64_t kDrainStallMicros = 1'000'000;

// True when the running operation must end at once, whatever its own steps do
// with CancelFlag: the window is closing, the port has failed, or a talking
// controller never answered the wake-up or the user cancelled it.
bool mustStop(const LinkContext& ctx);
// Sets CancelFlag when the operation must stop; true then. Every wait and
// every yield calls it, so each loop that tests CancelFlag ends.
bool noticeStop(LinkContext& ctx);
// Clears CancelFlag where an operation's step says so, unless it must stop.
void clearCancelFlag(LinkContext& ctx);

// Lets pending events run (ticks, arrived bytes, window events); never blocks.
void yieldEvents(LinkContext& ctx);

// Sends the frame one byte at a time, yielding before each byte and stopping
// early while CancelFlag is set (at most kCommandBufferSize bytes), then waits
// until OutBufferCount is 0.
void sendFrame(LinkContext& ctx, const std::string& frame);
// Writes the bytes in one Output call (the wake bytes CR CR are sent so).
void sendRaw(LinkContext& ctx, const std::string& bytes);
// Waits until the port has nothing left to send, or CancelFlag is set. Bytes
// that stop leaving (none has gone for drainStallMicros) never will: the port
// is failed with that reason, which ends the operation.
void waitOutputDrained(LinkContext& ctx);
// How long waiting bytes may go without one of them leaving: a second, plus
// twice their time on the line at the configured speed.
int64_t drainStallMicros(int waitingBytes, int32_t baud);

// TickCount = 0, then waits until it reaches ticks.
void settle(LinkContext& ctx, int16_t ticks);
// The settle after a read frame: TickCount = 0, then waits until the expected
// reply is complete in what the receive text will hold once it has been
// limited and drained, or until the reply's wait has run out (ticks, or more
// at a short interval: see replyWaitTicks). Only bytes that arrive during the
// wait end it early; a reply already waiting belongs to an earlier read. The
// bytes taken from the port meanwhile are returned, in order, for the caller
// to append to the receive text before it drains the rest. An empty expected
// reply (a value not known beforehand) never ends the wait early.
std::string settleForReply(LinkContext& ctx, int16_t ticks, const std::string& expected,
                           const std::string& receiveText);
// TickCount = 0, then waits while nothing is waiting, TickCount is below
// ticks and CancelFlag is clear. True when a byte is waiting at the end (the
// controller is talking).
bool probeForInput(LinkContext& ctx, int16_t ticks);
// Waits until at least one byte is waiting or CancelFlag is set (no tick limit).
void waitForInput(LinkContext& ctx);
// Each of these waits also ends when the operation must stop.

// While InBufferCount > 0: append Input() to receiveText, yield after each.
void drain(LinkContext& ctx, std::string& receiveText);
// How a controller operation takes the port. The first operation of the line
// opens it with InitializePort. Later ones either reopen it, so that it
// starts afresh (Always: the download, the clear and block execution, which
// also give a port that failed to open on first use a second try), or start
// it again only when it is closed (WhenClosed: the read-back).
enum class Reopen { Always, WhenClosed };
void openForOperation(LinkContext& ctx, Reopen reopen);
// Closes the port if it is open and opens it again.
void reopenPort(LinkContext& ctx);
// InputLen 0, read and throw away everything waiting.
void discardInput(LinkContext& ctx);
// Empties a receive text that has grown past kReceiveTextLimit.
void limitReceiveText(std::string& receiveText);

}  // namespace brindle::link
