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

uint64_t fnv1a64(const std::string& bytes) {
    uint64_t sum = 14695981039346656037ULL;
    for (unsigned char c : bytes) {
        sum = (sum ^ c) * 1099511628211ULL;
    }
    return sum;
}

std::string le64(uint64_t value) {
    std::string bytes;
    for (int i = 0; i < 8; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return bytes;
}

std::string sealedJournal(const std::string& body) {
    return body + le64(fnv1a64(body));
}

std::string recordJournalBody(char database, int32_t n, const std::string& record) {
    std::string number;
    for (int i = 0; i < 4; ++i) {
        number.push_back(static_cast<char>((static_cast<uint32_t>(n) >> (8 * i)) & 0xFF));
    }
    return std::string("BRINDLEJ") + database + number + record;
}

}  // namespace brindle::testing
