#pragma once
// The state that the main window shares with every operation, as one plain
// struct. The window owns it for the life of the program and passes it by
// reference; the command-line tool and the tests own one of their own.
// The field names are the ones every operation and the user guide use.
#include <array>
#include <cstdint>
#include <string>

#include "state/eeprom_layout.h"
#include "store/records.h"

namespace brindle::state {

struct MainState {
    // Public variables of the main window.
    bool NotifyExecute = false;
    int16_t RetryLimit = 40;
    int32_t MacroRecordNumber = 0;
    std::string DataDir;  // program folder, with a trailing separator
    bool QueryReset = false;
    bool StartComm = false;
    bool LoadedYet = false;
    bool Synched_Up = false;
    bool ZeroBlockProcessing = false;

    // Module-wide values.
    std::string ReceiveBuffer;
    // The last line shown from ReceiveBuffer ended with its last character:
    // an LF that comes next belongs to its CR and is dropped.
    bool ReceiveSkipNext = false;
    bool ReceiveWindowActive = false;
    int16_t StartTable = kStartTable;
    int16_t NameTable = kNameTable;
    int16_t MacroArea = kMacroArea;
    int16_t PostReadDelayMs = 0;
    int16_t PostWriteDelayMs = 0;
    int16_t WriteSettleTicks = 1;
    int16_t ReadSettleTicks = 1;

    // Private fields shared by several operations.
    int16_t TickCount = 0;
    bool CancelFlag = false;
    // The window is closing (or the command line was interrupted): every
    // operation ends at once, whatever its own steps do with CancelFlag.
    bool Closing = false;
    // How many times a talking controller is sent the wake-up before the
    // operation gives up on it; 0: as long as it takes (the window, which has
    // Cancel for that).
    int16_t WakeUpLimit = 0;
    // The controller talked but answered none of those wake-ups: the
    // operation ends at once, without sending anything more.
    bool WakeUpUnanswered = false;
    // Cancel (or Esc, or closing) came during the quiet probe, the wake-up or
    // the synchronisation: the operation ends before it writes anything.
    bool WakeUpCancelled = false;
    // A controller operation is running and reads the port itself: the
    // receive timer leaves the port alone, and the operation's reads feed
    // the receive window instead.
    bool OperationRunning = false;
    store::ConfigRecord ConfigRecord;
    // The device chosen for each of Com1 to Com4 (kept with the window's
    // settings, not in the configuration record); empty: no choice.
    std::array<std::string, 4> ComChoices;
    store::MacroRecord MacroBuffer;
};

}  // namespace brindle::state
