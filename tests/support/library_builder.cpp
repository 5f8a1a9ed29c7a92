#include "tests/support/library_builder.h"

#include <stdexcept>

#include "store/databases.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {

int32_t addMacro(const std::string& dataDir, const std::string& name, const std::string& text) {
    store::MacroRecord record;
    record.Name = name;
    record.Body = text;
    const int32_t number = store::macroCount(dataDir) + 1;
    if (base::Status written = store::writeMacro(dataDir, number, record); !written) {
        throw std::runtime_error(written.message());
    }
    return number;
}

int32_t addCombo(const std::string& dataDir, const std::string& name,
                 const std::vector<std::pair<int, int32_t>>& filled, int16_t node, int16_t boot) {
    store::ComboRecord record;
    record.Name = name;
    record.NodeAddress = node;
    record.StartingMacroNum = boot;
    for (auto [slot, number] : filled) {
        record.Sequence.at(static_cast<std::size_t>(slot)) = number;
    }
    const int32_t number = store::comboCount(dataDir) + 1;
    if (base::Status written = store::writeCombo(dataDir, number, record); !written) {
        throw std::runtime_error(written.message());
    }
    return number;
}

}  // namespace brindle::testing
