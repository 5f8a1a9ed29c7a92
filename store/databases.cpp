#include "store/databases.h"

#include "base/files.h"
#include "base/numeric.h"
#include "base/text.h"
#include "store/record_file.h"

namespace brindle::store {

std::string macroDbPath(const std::string& dataDir) {
    return dataDir + kMacroDbFile;
}
std::string comboDbPath(const std::string& dataDir) {
    return dataDir + kComboDbFile;
}

int32_t macroCount(const std::string& dataDir) {
    return recordCount(macroDbPath(dataDir), kMacroRecordLength);
}
int32_t comboCount(const std::string& dataDir) {
    return recordCount(comboDbPath(dataDir), kComboRecordLength);
}

std::optional<MacroRecord> readMacro(const std::string& dataDir, int32_t n) {
    auto bytes = readRecord(macroDbPath(dataDir), kMacroRecordLength, n);
    if (!bytes) {
        return std::nullopt;
    }
    return MacroRecord::decode(*bytes);
}

std::optional<ComboRecord> readCombo(const std::string& dataDir, int32_t n) {
    auto bytes = readRecord(comboDbPath(dataDir), kComboRecordLength, n);
    if (!bytes) {
        return std::nullopt;
    }
    return ComboRecord::decode(*bytes);
}

base::Status writeMacro(const std::string& dataDir, int32_t n, const MacroRecord& record) {
    return writeRecord(macroDbPath(dataDir), kMacroRecordLength, n, record.encode());
}

base::Status writeCombo(const std::string& dataDir, int32_t n, const ComboRecord& record) {
    return writeRecord(comboDbPath(dataDir), kComboRecordLength, n, record.encode());
}

std::optional<int32_t> FindMacro(const std::string& dataDir, std::string_view name,
                                 MacroRecord& MacroBuffer) {
    const std::string wanted = base::fixedWidth(name, kMacroNameWidth);
    const int32_t count = macroCount(dataDir);
    for (int32_t n = 1; n <= count; ++n) {
        auto record = readMacro(dataDir, n);
        if (!record) {
            continue;
        }
        MacroBuffer = *record;
        if (MacroBuffer.Name == wanted) {
            return n;
        }
    }
    return std::nullopt;
}

std::optional<ComboMatch> FindCombo(const std::string& dataDir, std::string_view name) {
    const std::string wanted = base::fixedWidth(name, kComboNameWidth);
    const int32_t count = comboCount(dataDir);
    for (int32_t n = 1; n <= count; ++n) {
        auto record = readCombo(dataDir, n);
        if (record && record->Name == wanted) {
            return ComboMatch{n, *record};
        }
    }
    return std::nullopt;
}

std::vector<std::string> listMacroNames(const std::string& dataDir, MacroRecord& MacroBuffer) {
    std::vector<std::string> names;
    const int32_t count = macroCount(dataDir);
    for (int32_t n = 1; n <= count; ++n) {
        auto record = readMacro(dataDir, n);
        if (!record) {
            continue;
        }
        MacroBuffer = *record;
        if (!base::trimBlanks(MacroBuffer.Name).empty()) {
            names.push_back(MacroBuffer.Name);
        }
    }
    return names;
}

std::vector<std::string> listComboNames(const std::string& dataDir) {
    std::vector<std::string> names;
    const int32_t count = comboCount(dataDir);
    for (int32_t n = 1; n <= count; ++n) {
        auto record = readCombo(dataDir, n);
        if (record && !base::trimBlanks(record->Name).empty()) {
            names.push_back(record->Name);
        }
    }
    return names;
}

std::string SequenceLine(int position, int bootPosition, const std::string& macroName) {
    std::string field = (position == bootPosition) ? "  *" : "   ";
    field += base::decimalText(position, true);
    field = field.substr(field.size() - 3);
    return field + "  " + base::fixedWidth(macroName, kMacroNameWidth);
}

std::string sequenceLineName(const std::string& line) {
    return line.size() > 5 ? line.substr(5) : std::string();
}

std::vector<SequenceEntry> sequenceEntries(const std::string& dataDir, const ComboRecord& combo,
                                           MacroRecord& MacroBuffer) {
    std::vector<SequenceEntry> entries;
    for (std::size_t s = 0; s < kSequenceSlots; ++s) {
        const int32_t number = combo.Sequence[s];
        if (number < 1) {
            continue;
        }
        auto record = readMacro(dataDir, number);
        if (!record) {
            continue;  // points past the end of the macro database
        }
        MacroBuffer = *record;
        if (base::trimBlanks(MacroBuffer.Name).empty()) {
            continue;
        }
        const int position = static_cast<int>(s) + 1;
        entries.push_back(
            {position, SequenceLine(position, combo.StartingMacroNum, MacroBuffer.Name)});
    }
    return entries;
}

base::Result<bool> deleteMacro(const std::string& dataDir, std::string_view name,
                               MacroRecord& MacroBuffer) {
    auto n = FindMacro(dataDir, name, MacroBuffer);
    if (!n) {
        return false;
    }
    MacroRecord blanked = MacroBuffer;
    blanked.Name = std::string(kMacroNameWidth, ' ');
    blanked.Body = std::string(kMacroBodyWidth, ' ');
    if (base::Status written = writeMacro(dataDir, *n, blanked); !written) {
        return written;
    }
    MacroBuffer = blanked;
    return true;
}

base::Result<bool> deleteCombo(const std::string& dataDir, std::string_view name) {
    auto match = FindCombo(dataDir, name);
    if (!match) {
        return false;
    }
    if (base::Status s = writeCombo(dataDir, match->number, ComboRecord{}); !s) {
        return s;
    }
    std::string survivors;
    const int32_t count = comboCount(dataDir);
    for (int32_t j = 1; j <= count; ++j) {
        auto bytes = readRecord(comboDbPath(dataDir), kComboRecordLength, j);
        if (!bytes) {
            return base::Status::failure("Cannot read record " + std::to_string(j) + " of " +
                                         comboDbPath(dataDir) +
                                         "; the combination database was left as it was.");
        }
        if (!(bytes->compare(0, 2, "  ") == 0)) {
            survivors += *bytes;
        }
    }
    // "ComboDb.tmp" is left holding the survivors for inspection; the
    // database itself is swapped in by a rename so that a crash cannot lose
    // the library.
    if (base::Status s = base::replaceFile(dataDir + kComboTempFile, survivors); !s) {
        return s;
    }
    if (base::Status s = base::replaceFile(comboDbPath(dataDir), survivors); !s) {
        return s;
    }
    return true;
}

}  // namespace brindle::store
