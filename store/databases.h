#pragma once
// The macro database "MacroDb.Dat" and the combination database "ComboDb.Dat"
// in the data folder. Macro records never move (combinations refer to them by
// record number): a deleted macro is blanked in place. Combination records are
// blanked and squeezed out, with the survivors kept in order.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "store/file_names.h"
#include "store/records.h"

namespace brindle::store {

// Whether the databases can be used: each a regular file (or missing),
// never reached through a link, of at most 32,767 records. The failure names
// the file and the reason. The listings and look-ups below read a refused
// file as empty, so every reader and writer asks this first, of the
// databases it uses.
base::Status checkDatabases(const std::string& dataDir, bool macros = true,
                            bool combinations = true);

int32_t macroCount(const std::string& dataDir);
int32_t comboCount(const std::string& dataDir);

std::optional<MacroRecord> readMacro(const std::string& dataDir, int32_t n);
std::optional<ComboRecord> readCombo(const std::string& dataDir, int32_t n);
// Writing record count + 1 appends; an existing number is overwritten in place.
base::Status writeMacro(const std::string& dataDir, int32_t n, const MacroRecord& record);
base::Status writeCombo(const std::string& dataDir, int32_t n, const ComboRecord& record);

// The Name field of every record in record order, deleted records included,
// read without the rest of the records (an unreadable name is empty).
std::vector<std::string> macroNameFields(const std::string& dataDir);
std::vector<std::string> comboNameFields(const std::string& dataDir);

// Reads the last readable record among 1..count into MacroBuffer, as reading
// every record in turn would leave it; unchanged when none can be read.
void readLastMacroInto(const std::string& dataDir, int32_t count, MacroRecord& MacroBuffer);

// Exact look-up of a 12-character name (cut or filled first): case matters,
// trailing blanks do not. Reads each record into MacroBuffer, so on a miss it
// holds the last record of the file (unchanged when the file is empty).
std::optional<int32_t> FindMacro(const std::string& dataDir, std::string_view name,
                                 MacroRecord& MacroBuffer);

struct ComboMatch {
    int32_t number = 0;
    ComboRecord record;
};
// The same over the combinations with 16-character names.
std::optional<ComboMatch> FindCombo(const std::string& dataDir, std::string_view name);

// The whole Name fields (trailing blanks kept) of the records whose name is
// not blank, in file order. The macro listing leaves the last record in
// MacroBuffer, as reading every record in turn would.
std::vector<std::string> listMacroNames(const std::string& dataDir, MacroRecord& MacroBuffer);
std::vector<std::string> listComboNames(const std::string& dataDir);

// The display line of one sequence slot: position field (boot mark "  *" or
// three blanks, then a blank and the digits, last three characters kept), two
// blanks, then the 12-character macro name.
std::string SequenceLine(int position, int bootPosition, const std::string& macroName);
// The macro name of a sequence line: the line without its first five characters.
std::string sequenceLineName(const std::string& line);
// The position a sequence line shows (1..256), read from its position field.
std::optional<int> sequenceLinePosition(const std::string& line);

struct SequenceEntry {
    int position = 0;  // 1-based slot position
    std::string line;
};
// The lines of a combination's sequence: empty slots, slots whose macro is
// deleted and slots that point past the end of "MacroDb.Dat" are skipped.
std::vector<SequenceEntry> sequenceEntries(const std::string& dataDir, const ComboRecord& combo,
                                           MacroRecord& MacroBuffer);

// Blanks the named macro's Name and Body in place, keeping the other fields.
// The value says whether there was such a macro.
base::Result<bool> deleteMacro(const std::string& dataDir, std::string_view name,
                               MacroRecord& MacroBuffer);

// Removes the named combination: every other record whose name is not all
// blanks goes, in order, into "ComboDb.tmp" and into a new "ComboDb.Dat",
// which replaces the old one with an atomic rename. The value says whether
// there was such a combination.
//
// The writers here (writeMacro, writeCombo, deleteMacro, deleteCombo) hold the
// library lock while they work and write through the journal, so a crash
// never leaves half a record or half a deletion (library_journal.h).
base::Result<bool> deleteCombo(const std::string& dataDir, std::string_view name);

}  // namespace brindle::store
