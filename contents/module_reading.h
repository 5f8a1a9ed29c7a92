#pragma once
// The two reads a command asks for, each from the wake-up on:
//   for a verify or a changed-only plan: location 3, the dump twice, the
//   header and the table entries of the combination's slots
//   for a backup: location 3, the dump twice, the header, the whole start
//   table, and the names of the slots whose start entry points into the
//   macro area; the start entries of other slots are left unknown
#include "contents/contents_reader.h"
#include "download/download_plan.h"

namespace brindle::contents {

enum class ReadingEnd {
    Read,
    Incomplete,  // no complete download in the module: nothing more read
    Cancelled,   // Cancel, Ctrl-C, a failed port; or the wake-up failed
};

ReadingEnd readForPlan(link::LinkContext& ctx, const download::DownloadPlan& plan,
                       ModuleContents& held);
// unreadEntries, when given, counts the header and start-table locations
// that could not be read: afterwards they cannot be told from the entries of
// slots not in use, which are left unknown on purpose.
ReadingEnd readForBackup(link::LinkContext& ctx, ModuleContents& held,
                         int* unreadEntries = nullptr);

// The slots whose start entry is known and points into the macro area.
std::vector<int> slotsInUse(const ModuleContents& held);

}  // namespace brindle::contents
