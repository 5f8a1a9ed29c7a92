#pragma once
// Everything a download will write, worked out before the first byte goes to
// the module: the combination, each macro's record and compiled image, and
// the checks that would otherwise leave the module half-written (a macro that
// does not compile, a slot, node address or boot macro the layout cannot
// hold, images that run past the last location).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "download/image_layout.h"
#include "store/records.h"

namespace brindle::download {

struct PlannedMacro {
    int slot = 0;  // 0-based position in the sequence
    store::MacroRecord record;
    std::string image;
    std::vector<std::string> notes;  // what compiling the macro noted
};

struct DownloadPlan {
    store::ComboRecord combo;
    std::vector<PlannedMacro> macros;  // non-empty slots in slot order
};

// A plan; nothing when the combination is not in the database; a failure
// saying why the download cannot go ahead when it is refused.
using PlanResult = base::Result<std::optional<DownloadPlan>>;

// The tables have room for 255 slots (0 to 254); slot 255 would overlap
// the name of slot 0 and the first image.
constexpr int kHighestSlot = 254;

PlanResult planDownload(const std::string& dataDir, const std::string& comboName,
                        int16_t macroArea);

}  // namespace brindle::download
