#include "app/module_image.h"

#include <algorithm>

#include "link/port.h"
#include "link/sync_with_module.h"
#include "store/records.h"

namespace brindle::app {

namespace {

constexpr int kNameWidth = static_cast<int>(store::kMacroNameWidth);

}  // namespace

int unsureBackupLocations(const contents::ModuleContents& held, int unreadEntries) {
    int unsure = unreadEntries;
    const auto need = [&](int from, int to) {
        for (int location = from; location < to; ++location) {
            unsure += held.known(location) ? 0 : 1;
        }
    };
    need(state::kImageStateLocation, state::kImageStateLocation + 1);
    int lastStart = -1;
    for (int slot : contents::slotsInUse(held)) {
        const int name = state::kNameTable + kNameWidth * slot;
        need(name, name + kNameWidth);
        lastStart = std::max(lastStart, *held.at(state::kStartTable + 2 * slot) * 256 +
                                            *held.at(state::kStartTable + 2 * slot + 1));
    }
    need(state::kMacroArea, std::max(held.knownEnd(), lastStart + 1));
    return unsure;
}

ImageReadProblem imageReadProblem(contents::ReadingEnd end, const contents::ModuleContents& held,
                                  int unreadEntries, const link::LinkContext& ctx) {
    switch (end) {
        case contents::ReadingEnd::Incomplete:
            return {
                "The Macro Module holds no complete download (location 3 is not \"X\"): "
                "no image was saved.",
                base::Icon::Critical};
        case contents::ReadingEnd::Cancelled:
            if (ctx.WakeUpUnanswered) {
                return {link::wakeUpUnansweredMessage(ctx.WakeUpLimit) + " No image was saved.",
                        base::Icon::Critical};
            }
            return {link::withPortFailure("The read was cancelled: no image was saved.", ctx.port),
                    base::Icon::Information};
        case contents::ReadingEnd::Read:
            break;
    }
    if (const int unsure = unsureBackupLocations(held, unreadEntries); unsure > 0) {
        return {std::to_string(unsure) + (unsure == 1 ? " location" : " locations") +
                    " could not be read for certain (two readings differed or a reply was "
                    "broken): no image was saved. Save Image again to read once more.",
                base::Icon::Critical};
    }
    return {};
}

}  // namespace brindle::app
