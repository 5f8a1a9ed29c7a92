#pragma once
// Reading what the Macro Module holds, without writing anything:
//   location 3 first, with the location read (23 41 05 52 00 03 9B 0D); a
//   module whose location 3 is not "X" holds no complete download, and
//   nothing more is read
//   the dump (23 41 04 45 32 BC 0D) twice: a macro-area byte is known only
//   where two passes agree (module_contents.h); when the two leave a byte
//   unknown (a noisy line), further passes are asked for, kMostDumpPasses in
//   all, each taken together with every earlier one
//   single locations (the header, table entries) with the location read,
//   each known only from a whole reply frame: up to kReadBatch frames go out
//   back to back and their replies are taken in order when exactly one whole
//   reply came for each; otherwise each location of the batch is read on its
//   own, asked again up to kLocationReadTries times, the line let fall quiet
//   after each failed read so that no late reply is taken for the next
// Each wait ends as soon as what it waits for is whole, so a module that
// answers promptly is read at line speed. Cancel (or a failing port) ends
// the reading at once; what was not read stays unknown.
#include <vector>

#include "contents/module_contents.h"
#include "link/link_context.h"

namespace brindle::contents {

inline constexpr int kLocationReadTries = 6;
inline constexpr std::size_t kReadBatch = 16;
inline constexpr std::size_t kMostDumpPasses = 4;

enum class ReadEnd {
    Read,        // everything asked for was read (some bytes may be unknown)
    Incomplete,  // location 3 is not "X" (or could not be read): nothing more read
    Cancelled,   // Cancel, Ctrl-C or a failed port ended it
};

// Reads location 3, then (when it holds "X") the macro area when asked for
// and the given locations, into held.
ReadEnd readModuleContents(link::LinkContext& ctx, const std::vector<int>& locations,
                           bool macroArea, ModuleContents& held);

// The pieces, for a caller that decides between them (a backup reads the
// start table first, then the names of the slots it finds).
void readLocations(link::LinkContext& ctx, const std::vector<int>& locations, ModuleContents& held);
void readMacroArea(link::LinkContext& ctx, ModuleContents& held);

}  // namespace brindle::contents

namespace brindle::contents {

// The start every reading or writing of the contents shares with the
// download: the receive window off, the port opened (or reopened), waiting
// input thrown away (and what still arrives until the line is quiet, for
// kLeftoverMicros at most: the replies of a command cut short), and the
// wake-up (link::SyncWithModule). False when the
// wake-up was cancelled or never answered: nothing may be sent then.
inline constexpr int64_t kLeftoverMicros = 250000;
bool openAndWake(link::LinkContext& ctx);

}  // namespace brindle::contents
