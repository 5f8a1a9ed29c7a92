#pragma once
// What a download would write, compared with what the module holds.
//
// The bytes a download writes, in its order: for each macro its start-table
// entry (2 bytes), its 12-character name and its image, then the header
// (node address, starting macro, macro count). Location 3 is not among them:
// it is the download's own mark, "Z" before and "X" after. A location that
// is not known for certain counts as differing.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "contents/module_contents.h"
#include "download/download_plan.h"

namespace brindle::contents {

inline constexpr int kHeaderEntry = -1;

struct TargetByte {
    int location = 0;
    uint8_t value = 0;
    int macro = kHeaderEntry;  // index into the plan's macros, or kHeaderEntry
};

// Every byte the download writes, in its order, location 3 left out.
std::vector<TargetByte> downloadBytes(const download::DownloadPlan& plan, int macroArea);

// The locations a changed-only download or a verify reads one at a time:
// the header (0 to 3) and the table entries of the plan's slots.
std::vector<int> singleReadLocations(const download::DownloadPlan& plan);

struct MacroDifference {
    std::string name;  // without trailing blanks
    int position = 0;  // slot + 1
    int firstLocation = 0;
    int count = 0;    // locations that differ or are not known
    int unknown = 0;  // of them, those not known for certain
};

struct HeaderDifference {
    std::string field;  // "Macro Id", "Boot Macro", "# of Macros", "image state"
    int location = 0;
    uint8_t wanted = 0;
    std::optional<uint8_t> held;  // nothing when not known
};

struct ChangePlan {
    // The module holds a complete download (location 3 is known to be "X").
    bool complete = false;
    std::vector<TargetByte> writes;  // what differs or is not known, in download order
    std::vector<MacroDifference> macros;
    std::vector<HeaderDifference> header;  // location 3 included when not "X"

    bool nothingDiffers() const { return complete && writes.empty(); }
};

ChangePlan planChanges(const download::DownloadPlan& plan, const ModuleContents& held,
                       int macroArea);

// "macro "PICK" (position 2): 5 locations differ, the first at 3620 (2 not
// known for certain)"; "Boot Macro (location 1): module 3, combination 5".
std::string describe(const MacroDifference& difference);
std::string describe(const HeaderDifference& difference);

}  // namespace brindle::contents
