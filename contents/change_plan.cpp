#include "contents/change_plan.h"

#include "base/text.h"
#include "store/records.h"

namespace brindle::contents {

namespace {

constexpr int kEntryBytes = 2;

struct HeaderField {
    const char* name;
    int location;
};

constexpr HeaderField kHeaderFields[] = {
    {"Macro Id", state::kNodeAddressLocation},
    {"Boot Macro", state::kBootMacroLocation},
    {"# of Macros", state::kMacroCountLocation},
    {"image state", state::kImageStateLocation},
};

const char* fieldName(int location) {
    for (const HeaderField& f : kHeaderFields) {
        if (f.location == location) {
            return f.name;
        }
    }
    return "header";
}

}  // namespace

std::vector<TargetByte> downloadBytes(const download::DownloadPlan& plan, int macroArea) {
    std::vector<TargetByte> bytes;
    int offset = 0;
    for (std::size_t m = 0; m < plan.macros.size(); ++m) {
        const download::PlannedMacro& macro = plan.macros[m];
        const int index = static_cast<int>(m);
        const int start = macroArea + offset;
        const int entry = state::kStartTable + kEntryBytes * macro.slot;
        bytes.push_back({entry, static_cast<uint8_t>(start / 256), index});
        bytes.push_back({entry + 1, static_cast<uint8_t>(start % 256), index});
        const std::string name = base::fixedWidth(macro.record.Name, store::kMacroNameWidth);
        for (int c = 0; c < static_cast<int>(store::kMacroNameWidth); ++c) {
            bytes.push_back(
                {state::kNameTable + static_cast<int>(store::kMacroNameWidth) * macro.slot + c,
                 static_cast<uint8_t>(name[static_cast<std::size_t>(c)]), index});
        }
        for (std::size_t j = 0; j < macro.image.size(); ++j) {
            bytes.push_back(
                {start + static_cast<int>(j), static_cast<uint8_t>(macro.image[j]), index});
        }
        offset += static_cast<int>(macro.image.size());
    }
    bytes.push_back(
        {state::kNodeAddressLocation, static_cast<uint8_t>(plan.combo.NodeAddress), kHeaderEntry});
    bytes.push_back({state::kBootMacroLocation, static_cast<uint8_t>(plan.combo.StartingMacroNum),
                     kHeaderEntry});
    bytes.push_back(
        {state::kMacroCountLocation, static_cast<uint8_t>(plan.macros.size()), kHeaderEntry});
    return bytes;
}

std::vector<int> singleReadLocations(const download::DownloadPlan& plan) {
    std::vector<int> locations = {state::kImageStateLocation, state::kNodeAddressLocation,
                                  state::kBootMacroLocation, state::kMacroCountLocation};
    const int nameWidth = static_cast<int>(store::kMacroNameWidth);
    for (const download::PlannedMacro& macro : plan.macros) {
        locations.push_back(state::kStartTable + kEntryBytes * macro.slot);
        locations.push_back(state::kStartTable + kEntryBytes * macro.slot + 1);
        for (int c = 0; c < nameWidth; ++c) {
            locations.push_back(state::kNameTable + nameWidth * macro.slot + c);
        }
    }
    return locations;
}

ChangePlan planChanges(const download::DownloadPlan& plan, const ModuleContents& held,
                       int macroArea) {
    ChangePlan changes;
    changes.complete = held.holdsCompleteDownload();
    changes.macros.resize(plan.macros.size());
    for (std::size_t m = 0; m < plan.macros.size(); ++m) {
        changes.macros[m].name = base::trimTrailingBlanks(plan.macros[m].record.Name);
        changes.macros[m].position = plan.macros[m].slot + 1;
    }
    for (const TargetByte& target : downloadBytes(plan, macroArea)) {
        const std::optional<uint8_t> have = held.at(target.location);
        if (have == target.value) {
            continue;
        }
        changes.writes.push_back(target);
        if (target.macro == kHeaderEntry) {
            changes.header.push_back(
                {fieldName(target.location), target.location, target.value, have});
            continue;
        }
        MacroDifference& d = changes.macros[static_cast<std::size_t>(target.macro)];
        if (d.count == 0) {
            d.firstLocation = target.location;
        }
        ++d.count;
        d.unknown += have ? 0 : 1;
    }
    if (!changes.complete) {
        changes.header.push_back({fieldName(state::kImageStateLocation), state::kImageStateLocation,
                                  static_cast<uint8_t>(state::kImageComplete),
                                  held.at(state::kImageStateLocation)});
    }
    std::erase_if(changes.macros, [](const MacroDifference& d) { return d.count == 0; });
    return changes;
}

std::string describe(const MacroDifference& d) {
    std::string text =
        "macro \"" + d.name + "\" (position " + std::to_string(d.position) +
        "): " + std::to_string(d.count) +
        (d.count == 1 ? " location differs, at " : " locations differ, the first at ") +
        std::to_string(d.firstLocation);
    if (d.unknown > 0) {
        text += " (" + std::to_string(d.unknown) + " not known for certain)";
    }
    return text;
}

std::string describe(const HeaderDifference& d) {
    return std::string(d.field) + " (location " + std::to_string(d.location) + "): module " +
           (d.held ? std::to_string(*d.held) : std::string("not known for certain")) +
           ", combination " + std::to_string(d.wanted);
}

}  // namespace brindle::contents
