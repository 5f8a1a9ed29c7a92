#pragma once
// Read E2prom: the module's E2PROM as text, and the bytes at locations 0 to 2.
//
//   busy check   25 ticks of listening; a controller that talks is running a
//                macro, and nothing is sent
//   dump         23 41 04 45 32 BC 0D, then the reply a byte at a time until
//                25 ticks pass without one (see dump_reception.h); a module
//                that never stops is cut off after a whole macro area's
//                worth of bytes (kDumpByteLimit) or after twice the time
//                those bytes take on the line and 5 s more, whichever comes
//                first
//   text         header line removed, jumps rewritten and labelled (see
//                readback_text.h); the work file "e2read.tmp" holds the
//                received text, then the rewritten one
//   locations    unless the text says "BLANK": reads of locations 0 to 3
//                (23 41 05 52 00 0n cs 0D), each answer taken after 5 ticks
//                and only from a whole reply frame (read_reply.h); a module
//                that was cut off is not asked, and shows no values
//
// The read switches the receive window off while it runs, so the receive
// timer cannot take part of the reply, and clears CancelFlag first, so a
// flag left by an earlier operation does not silence it.
#include <cstdint>
#include <optional>
#include <string>

#include "base/prompter.h"
#include "base/status.h"
#include "link/link_context.h"
#include "state/eeprom_layout.h"
#include "utilities/read_back_view.h"

namespace brindle::utilities {

inline constexpr const char* kWorkFileName = "e2read.tmp";
inline constexpr int16_t kBusyProbeTicks = 25;
inline constexpr int16_t kDumpSilenceTicks = 25;
// The least time the first byte of a dump is waited for.
inline constexpr int64_t kDumpStartMicros = 250000;
inline constexpr int16_t kLocationReadTicks = 5;
// The macro area holds this many bytes; a dump sends two bytes for each.
inline constexpr int32_t kMacroAreaBytes = state::kLocationCount - state::kMacroArea;
// The most a dump may send: two bytes a location and room for its header.
inline constexpr int32_t kDumpByteLimit = 2 * kMacroAreaBytes + 512;
inline constexpr int64_t kDumpTimeSlackMicros = 5'000'000;

// The longest a dump may last at a line speed.
int64_t dumpTimeBoundMicros(int32_t baud);

enum class ReadOutcome {
    Busy,  // a macro is running; nothing was sent
    Read,  // the dump was asked for and its text shown
};

struct ReadBackResult {
    ReadOutcome outcome = ReadOutcome::Read;
    std::string text;  // as shown ("Read Failed" when nothing usable came)
    bool readFailed = false;
    // The location values; nothing when not read (a blank module) or when
    // the answer lacked its marker.
    bool locationsRead = false;
    std::optional<uint8_t> macroId;
    std::optional<uint8_t> bootMacro;
    std::optional<uint8_t> macroCount;
    // The module kept sending past a whole macro area, or for longer than a
    // dump lasts; the rest was dropped.
    bool cutShort = false;
    // The read was cancelled (Cancel, Esc, Ctrl-C); nothing more was sent.
    bool cancelled = false;
    // The port failed during the read (its reason), empty otherwise.
    std::string portFailure;
    // The first failure to write the work file.
    base::Status workFile = base::Status::success();
};

// The work file's path in the program's folder.
std::string workFilePath(const std::string& programFolder);

// The Read E2prom button.
ReadBackResult readE2prom(link::LinkContext& ctx, ReadBackView& view, base::Prompter& prompter,
                          const std::string& workFile);

// The Clear All button: the four fields emptied, their visibility kept.
void clearAll(ReadBackView& view);

// The field text of a location value: " 7", or what a missing value shows.
std::string headerFieldText(HeaderField field, const std::optional<uint8_t>& value);

}  // namespace brindle::utilities
