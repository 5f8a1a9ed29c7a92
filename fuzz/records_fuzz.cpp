// Arbitrary bytes as the content of the three record files: every whole
// record decodes, encodes back to the same bytes, lists and shows its
// sequence lines without going wrong; a trailing partial record is ignored.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "store/databases.h"
#include "store/records.h"

namespace {

using namespace brindle;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <class Record>
void roundTrip(const std::string& bytes, std::size_t length) {
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) {
        const std::string record = bytes.substr(at, length);
        require(Record::decode(record).encode() == record);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // A macro record is longer than any input the fuzzer makes: the input,
    // repeated, fills one.
    std::string macro;
    while (!bytes.empty() && macro.size() < store::kMacroRecordLength) {
        macro += bytes;
    }
    roundTrip<store::MacroRecord>(macro, store::kMacroRecordLength);
    roundTrip<store::ComboRecord>(bytes, store::kComboRecordLength);
    if (bytes.size() >= store::kConfigRecordLength) {
        const std::string config = bytes.substr(0, store::kConfigRecordLength);
        require(store::ConfigRecord::decode(config).encode() == config);
    }
    // The first combination record's sequence shown against names cut from
    // the input: each line is 17 characters and gives back its 12-character
    // name. (One record is enough: the others take the same paths, and 256
    // lines a record are most of an input's time.)
    if (bytes.size() >= store::kComboRecordLength) {
        const auto combo = store::ComboRecord::decode(bytes.substr(0, store::kComboRecordLength));
        for (std::size_t s = 0; s < store::kSequenceSlots; ++s) {
            const std::string name =
                combo.Description.substr(s % 60, static_cast<std::size_t>(combo.Sequence[s]) % 20);
            const std::string line =
                store::SequenceLine(static_cast<int>(s) + 1, combo.StartingMacroNum, name);
            require(line.size() == 17);
            require(store::sequenceLineName(line) == base::fixedWidth(name, 12));
        }
    }
    return 0;
}
