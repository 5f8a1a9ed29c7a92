#include "download/download_plan.h"

#include "base/text.h"
#include "download/image_prepare.h"
#include "store/databases.h"

namespace brindle::download {
namespace {

std::string quoted(const std::string& name) {
    // Appended piece by piece: prepending to a temporary string makes g++ 12
    // at -O3 report a false overlap (-Wrestrict).
    std::string text(1, '"');
    text += base::trimTrailingBlanks(name);
    text += '"';
    return text;
}

base::Status refuse(std::string why) {
    if (!why.empty() && why.back() != '.') {
        why += '.';
    }
    return base::Status::failure(why + " Nothing was sent to the Macro Module.");
}

}  // namespace

PlanResult planDownload(const std::string& dataDir, const std::string& comboName,
                        int16_t macroArea) {
    auto match = store::FindCombo(dataDir, base::fixedWidth(comboName, store::kComboNameWidth));
    if (!match) {
        return std::optional<DownloadPlan>();
    }
    DownloadPlan plan;
    plan.combo = match->record;
    const std::string combo = quoted(plan.combo.Name);

    if (plan.combo.NodeAddress < 0 || plan.combo.NodeAddress > 255) {
        return refuse("The node address of combination " + combo + " is " +
                      std::to_string(plan.combo.NodeAddress) + "; it must lie between 0 and 255.");
    }
    if (plan.combo.StartingMacroNum < 0 || plan.combo.StartingMacroNum > 255) {
        return refuse("The starting macro of combination " + combo + " is " +
                      std::to_string(plan.combo.StartingMacroNum) +
                      "; it must lie between 0 and 255.");
    }

    const bool neverCancelled = false;
    int imageOffset = 0;
    for (int slot = 0; slot < static_cast<int>(store::kSequenceSlots); ++slot) {
        const int32_t number = plan.combo.Sequence[static_cast<std::size_t>(slot)];
        if (number < 1) {
            continue;
        }
        if (slot > kHighestSlot) {
            return refuse("Combination " + combo + " uses position " + std::to_string(slot + 1) +
                          "; the Macro Module has room for positions 1 to " +
                          std::to_string(kHighestSlot + 1) + ".");
        }
        auto record = store::readMacro(dataDir, number);
        if (!record) {
            return refuse("Macro record " + std::to_string(number) + " in position " +
                          std::to_string(slot + 1) + " of combination " + combo +
                          " cannot be read from " + store::kMacroDbFile + ".");
        }
        ImageResult image =
            prepareMacroImage(dataDir, record->Name, record->Body, imageOffset, neverCancelled);
        if (!image) {
            return refuse(image.message());
        }
        const int end = macroArea + imageOffset + static_cast<int>(image->bytes.size()) - 1;
        if (end > kLastLocation) {
            return refuse("The macros of combination " + combo +
                          " do not fit the Macro Module: macro " + quoted(record->Name) +
                          " would end at location " + std::to_string(end) +
                          ", past the last location " + std::to_string(kLastLocation) + ".");
        }
        imageOffset += static_cast<int>(image->bytes.size());
        plan.macros.push_back({slot, *record, std::move(image->bytes), std::move(image->notes)});
    }
    return std::optional<DownloadPlan>(std::move(plan));
}

}  // namespace brindle::download
