#pragma once
// The main window's own state, as one plain struct: what its tabs share and
// keep from one operation to the next. The window owns it for the life of
// the program; the command-line tool and the tests own one of their own.
// What one operation on one line changes lives in that operation's
// link::LinkContext instead, and the E2PROM's layout in eeprom_layout.h.
// The field names are the ones every operation and the user guide use.
#include <array>
#include <cstdint>
#include <string>

#include "store/records.h"

namespace brindle::state {

struct MainState {
    bool NotifyExecute = false;
    std::string DataDir;  // program folder, with a trailing separator
    // A clear was asked for and not carried out yet: the next download run
    // is a program clear.
    bool QueryReset = false;
    bool LoadedYet = false;
    int16_t PostReadDelayMs = 0;
    int16_t PostWriteDelayMs = 0;
    store::ConfigRecord ConfigRecord;
    // The device chosen for each of Com1 to Com4 (kept with the window's
    // settings, not in the configuration record); empty: no choice.
    std::array<std::string, 4> ComChoices;
    store::MacroRecord MacroBuffer;
};

}  // namespace brindle::state
