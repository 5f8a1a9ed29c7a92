#pragma once
// The receive window: the timer's tick that drains the port into List1
// between operations, the one path by which received bytes become its lines
// (showArrivedBytes, also taken by every read of a running operation, see
// receiving_port.h), the one-line viewbuffer used by the operations on their
// own receive text, and the Check1 and ClearHistory handlers.
//
// Every byte read from the controller reaches the window once, in the order
// it arrived, by the tick's line rules, whoever read it: the tick between
// operations, the operation's own reads while one runs. viewbuffer only takes
// the first line out of the operation's receive text; that line was shown
// when its bytes arrived.
#include <string>

#include "link/link_context.h"

namespace brindle::link {

inline constexpr int16_t kTickCountWrap = 30000;
inline constexpr int kCheck1CheckedIntervalMs = 100;
inline constexpr int kCheck1UncheckedIntervalMs = 1;
inline constexpr int kStartIntervalMs = 55;
// A selected index above this when a line is added empties the list.
inline constexpr int kListClearIndex = 1000;

// One tick of Timer1 on the line of ctx, whose port is port without the
// receive window's forwarding. Opens the port on the first tick with the
// receive window active. While an operation runs (OperationRunning) the tick
// only counts: the port's bytes belong to the operation. Install with
// pump.setTickHandler.
void timerTick(LinkContext& ctx, Port& port);

// The tick's line rules: moves every complete line of ReceiveBuffer into the
// receive window (a line of 0 to 2 characters is dropped unseen, the character
// after each shown line's CR goes with it, and a list that would pass 1002
// entries is emptied).
void showReceivedLines(ReceivedLines& lines, ReceiveView& view);

// Bytes just read from the port: appended to ReceiveBuffer, and every line
// they complete shown by showReceivedLines.
void showArrivedBytes(ReceivedLines& lines, ReceiveView& view, const std::string& bytes);

// Takes the first complete line out of buffer (a line of 0 to 2 characters
// goes unseen; the character after the CR stays) while the line's Check1 is
// checked (lines.ReceiveWindowTicked).
void viewbuffer(const ReceivedLines& lines, std::string& buffer);

// Check1 was clicked; checked is its new value, which the line keeps
// (lines.ReceiveWindowTicked).
void switchReceiveWindow(SharedSignals& shared, ReceivedLines& lines, Pump& pump, bool checked);
void clearReceiveWindow(ReceivedLines& lines, ReceiveView& view);

}  // namespace brindle::link
