#pragma once
// The receive window: the timer's tick that drains the port into List1, the
// one-line viewbuffer used by the operations, and the Check1 and ClearHistory
// handlers.
//
// The tick and viewbuffer differ on purpose in three ways: the tick drops the
// character after the CR of each shown line, viewbuffer does not; the tick
// empties a list that would pass 1002 entries, viewbuffer never clears it; the
// tick is governed by ReceiveWindowActive, viewbuffer by Check1 itself.
#include <string>

#include "link/port.h"
#include "link/pump.h"
#include "link/views.h"
#include "state/main_state.h"

namespace brindle::link {

inline constexpr int16_t kTickCountWrap = 30000;
inline constexpr int kCheck1CheckedIntervalMs = 100;
inline constexpr int kCheck1UncheckedIntervalMs = 1;
inline constexpr int kStartIntervalMs = 55;
// A selected index above this when a line is added empties the list.
inline constexpr int kListClearIndex = 1000;

// One tick of Timer1. Opens the port on the first tick with the receive window
// active. Install with pump.SetTickHandler.
void timerTick(state::MainState& state, Port& port, ReceiveView& view);

// The tick's line rules: moves every complete line of ReceiveBuffer into the
// receive window (a line of 0 to 2 characters is dropped unseen, the character
// after each shown line's CR goes with it, and a list that would pass 1002
// entries is emptied).
void showReceivedLines(state::MainState& state, ReceiveView& view);

// Moves the first complete line of buffer into List1 while Check1 is checked.
void viewbuffer(ReceiveView& view, std::string& buffer);

// Check1 was clicked; checked is its new value.
void switchReceiveWindow(state::MainState& state, Pump& pump, ReceiveView& view, bool checked);
void clearReceiveWindow(state::MainState& state, ReceiveView& view);

}  // namespace brindle::link
