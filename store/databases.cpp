#include "store/databases.h"

#include "base/files.h"
#include "base/numeric.h"
#include "base/text.h"
#include "store/leading_fields.h"
#include "store/library_journal.h"
#include "store/library_lock.h"
#include "store/record_file.h"

namespace brindle::store {

base::Status checkDatabases(const std::string& dataDir, bool macros, bool combinations) {
    if (macros) {
        if (auto count = countRecordsAsTheyAre(macroDbPath(dataDir), kMacroRecordLength); !count) {
            return count.status();
        }
    }
    if (combinations) {
        if (auto count = countRecordsAsTheyAre(comboDbPath(dataDir), kComboRecordLength); !count) {
            return count.status();
        }
    }
    return base::Status::success();
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
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    return writeRecordSafely(dataDir, Database::Macros, n, record.encode());
}

base::Status writeCombo(const std::string& dataDir, int32_t n, const ComboRecord& record) {
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    return writeRecordSafely(dataDir, Database::Combinations, n, record.encode());
}

std::vector<std::string> macroNameFields(const std::string& dataDir) {
    noteInterruptedWrites(dataDir);
    return readLeadingFields(macroDbPath(dataDir), kMacroRecordLength, kMacroNameWidth);
}

std::vector<std::string> comboNameFields(const std::string& dataDir) {
    noteInterruptedWrites(dataDir);
    return readLeadingFields(comboDbPath(dataDir), kComboRecordLength, kComboNameWidth);
}

void readLastMacroInto(const std::string& dataDir, int32_t count, MacroRecord& MacroBuffer) {
    // Reading every record in turn ends with the last one that can be read.
    for (int32_t n = count; n >= 1; --n) {
        if (auto record = readMacro(dataDir, n)) {
            MacroBuffer = *record;
            return;
        }
    }
}

std::optional<int32_t> FindMacro(const std::string& dataDir, std::string_view name,
                                 MacroRecord& MacroBuffer) {
    // The names alone are scanned; only the record that the record-by-record
    // search would have left in MacroBuffer is read whole. A record whose
    // name is no longer the scanned one means the scan is stale: once more.
    const std::string wanted = base::fixedWidth(name, kMacroNameWidth);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::vector<std::string> names = macroNameFields(dataDir);
        bool stale = false;
        for (std::size_t i = 0; i < names.size() && !stale; ++i) {
            if (names[i] != wanted) {
                continue;
            }
            const auto n = static_cast<int32_t>(i + 1);
            if (auto record = readMacro(dataDir, n)) {
                stale = record->Name != wanted;
                if (!stale) {
                    MacroBuffer = *record;
                    return n;
                }
            }
        }
        if (!stale) {
            readLastMacroInto(dataDir, static_cast<int32_t>(names.size()), MacroBuffer);
            return std::nullopt;
        }
        forgetLeadingFields(macroDbPath(dataDir));
    }
    return std::nullopt;
}

std::optional<ComboMatch> FindCombo(const std::string& dataDir, std::string_view name) {
    const std::string wanted = base::fixedWidth(name, kComboNameWidth);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::vector<std::string> names = comboNameFields(dataDir);
        bool stale = false;
        for (std::size_t i = 0; i < names.size() && !stale; ++i) {
            if (names[i] != wanted) {
                continue;
            }
            const auto n = static_cast<int32_t>(i + 1);
            if (auto record = readCombo(dataDir, n)) {
                stale = record->Name != wanted;
                if (!stale) {
                    return ComboMatch{n, *record};
                }
            }
        }
        if (!stale) {
            return std::nullopt;
        }
        forgetLeadingFields(comboDbPath(dataDir));
    }
    return std::nullopt;
}

namespace {

std::vector<std::string> listedNames(const std::vector<std::string>& fields) {
    std::vector<std::string> names;
    for (const std::string& field : fields) {
        if (!base::trimBlanks(field).empty()) {
            names.push_back(field);
        }
    }
    return names;
}

}  // namespace

std::vector<std::string> listMacroNames(const std::string& dataDir, MacroRecord& MacroBuffer) {
    const std::vector<std::string> fields = macroNameFields(dataDir);
    readLastMacroInto(dataDir, static_cast<int32_t>(fields.size()), MacroBuffer);
    return listedNames(fields);
}

std::vector<std::string> listComboNames(const std::string& dataDir) {
    return listedNames(comboNameFields(dataDir));
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

std::optional<int> sequenceLinePosition(const std::string& line) {
    int position = 0;
    bool digits = false;
    for (std::size_t i = 0; i < 3 && i < line.size(); ++i) {
        const char c = line[i];
        if (c >= '0' && c <= '9') {
            position = position * 10 + (c - '0');
            digits = true;
        } else if (digits || (c != ' ' && c != '*')) {
            return std::nullopt;
        }
    }
    if (!digits || position < 1 || position > static_cast<int>(kSequenceSlots)) {
        return std::nullopt;
    }
    return position;
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
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    if (base::Status usable = checkDatabases(dataDir, true, false); !usable) {
        return usable;
    }
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
    auto lock = LibraryLock::acquire(dataDir);
    if (!lock) {
        return lock.status();
    }
    if (base::Status usable = checkDatabases(dataDir, false, true); !usable) {
        return usable;
    }
    auto match = FindCombo(dataDir, name);
    if (!match) {
        return false;
    }
    // The new database is built whole and renamed in, in one step: blanking
    // the record in place first would let a crash between the two steps
    // leave half a deletion.
    std::string survivors;
    const int32_t count = comboCount(dataDir);
    for (int32_t j = 1; j <= count; ++j) {
        if (j == match->number) {
            continue;
        }
        auto bytes = readRecord(comboDbPath(dataDir), kComboRecordLength, j);
        if (!bytes) {
            return base::Status::failure("Cannot read record " + std::to_string(j) + " of " +
                                         comboDbPath(dataDir) +
                                         "; the combination database was left as it was.");
        }
        // Only empty records go: a name that merely begins with blanks is a
        // combination like any other.
        if (!base::trimBlanks(std::string_view(*bytes).substr(0, kComboNameWidth)).empty()) {
            survivors += *bytes;
        }
    }
    // "ComboDb.tmp" is left holding the survivors for inspection.
    for (const std::string& path : {dataDir + kComboTempFile, comboDbPath(dataDir)}) {
        if (base::Status s = base::replaceFile(path, survivors); !s) {
            return base::Status::failure(s.message() + " The combination was not deleted.");
        }
    }
    forgetLeadingFields(comboDbPath(dataDir));
    return true;
}

}  // namespace brindle::store
