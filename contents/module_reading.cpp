#include "contents/module_reading.h"

#include <algorithm>

#include "contents/change_plan.h"
#include "store/records.h"

namespace brindle::contents {

namespace {

constexpr int kSlots = download::kHighestSlot + 1;
constexpr int kNameWidth = static_cast<int>(store::kMacroNameWidth);

ReadingEnd ending(ReadEnd end) {
    switch (end) {
        case ReadEnd::Read:
            return ReadingEnd::Read;
        case ReadEnd::Incomplete:
            return ReadingEnd::Incomplete;
        case ReadEnd::Cancelled:
            break;
    }
    return ReadingEnd::Cancelled;
}

}  // namespace

std::vector<int> slotsInUse(const ModuleContents& held) {
    std::vector<int> slots;
    for (int slot = 0; slot < kSlots; ++slot) {
        const auto high = held.at(state::kStartTable + 2 * slot);
        const auto low = held.at(state::kStartTable + 2 * slot + 1);
        if (!high || !low) {
            continue;
        }
        const int start = *high * 256 + *low;
        if (start >= state::kMacroArea && start <= state::kLastLocation) {
            slots.push_back(slot);
        }
    }
    return slots;
}

ReadingEnd readForPlan(link::LinkContext& ctx, const download::DownloadPlan& plan,
                       ModuleContents& held) {
    if (!openAndWake(ctx)) {
        return ReadingEnd::Cancelled;
    }
    return ending(readModuleContents(ctx, singleReadLocations(plan), true, held));
}

ReadingEnd readForBackup(link::LinkContext& ctx, ModuleContents& held, int* unreadEntries) {
    if (!openAndWake(ctx)) {
        return ReadingEnd::Cancelled;
    }
    std::vector<int> startTable = {state::kNodeAddressLocation, state::kBootMacroLocation,
                                   state::kMacroCountLocation};
    for (int location = state::kStartTable; location < state::kStartTable + 2 * kSlots;
         ++location) {
        startTable.push_back(location);
    }
    const ReadEnd end = readModuleContents(ctx, startTable, true, held);
    if (end != ReadEnd::Read) {
        return ending(end);
    }
    if (unreadEntries != nullptr) {
        *unreadEntries = static_cast<int>(std::count_if(startTable.begin(), startTable.end(),
                                                        [&](int at) { return !held.known(at); }));
    }
    // Entries of slots not in use are left out: a restore writes only what
    // a download wrote.
    const std::vector<int> inUse = slotsInUse(held);
    for (int slot = 0; slot < kSlots; ++slot) {
        if (std::find(inUse.begin(), inUse.end(), slot) == inUse.end()) {
            held.forget(state::kStartTable + 2 * slot);
            held.forget(state::kStartTable + 2 * slot + 1);
        }
    }
    std::vector<int> names;
    for (int slot : inUse) {
        for (int c = 0; c < kNameWidth; ++c) {
            names.push_back(state::kNameTable + kNameWidth * slot + c);
        }
    }
    readLocations(ctx, names, held);
    return ctx.CancelFlag ? ReadingEnd::Cancelled : ReadingEnd::Read;
}

}  // namespace brindle::contents
