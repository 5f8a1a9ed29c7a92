#pragma once
// Writes to the macro library that a crash cannot leave half done.
//
// A record write first puts the record, with where it goes, into the journal
// "Library.Jnl" (written whole and renamed into place), then writes it into
// the database and removes the journal. A write that a crash cut short (the
// kernel may stop a write of several pages part way when SIGKILL arrives, and
// power can fail at any moment) is written again whole from the journal
// before anything else touches the library.
//
// "Library.Jnl", one record write:
//   0   8  "BRINDLEJ"
//   8   1  'M' for "MacroDb.Dat", 'C' for "ComboDb.Dat"
//   9   4  record number, int32 little-endian, 1 or more
//   13  n  the record (16360 or 1140 bytes)
//
// Replacing both databases (an import) stages them as "MacroDb.new" and
// "ComboDb.new", each written whole, then renames "MacroDb.new" into place and
// then "ComboDb.new". What a crash leaves tells how far it got: "MacroDb.new"
// alone, staging was cut short and the new files go; both, or "ComboDb.new"
// alone, everything was staged and the renames are finished.
//
// Both run under the library lock (library_lock.h), whose outermost holder
// finishes an interrupted write first, and the name scans that every look-up
// and listing starts with do so too, so nothing ever reads half a write.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace brindle::store {

inline constexpr const char* kJournalFile = "Library.Jnl";
inline constexpr const char* kMacroStageFile = "MacroDb.new";
inline constexpr const char* kComboStageFile = "ComboDb.new";

enum class Database { Macros, Combinations };

// Writes record n (count + 1 appends) of the database; the lock must be held.
// A write that fails leaves the database as it was.
base::Status writeRecordSafely(const std::string& dataDir, Database database, int32_t n,
                               const std::string& bytes);

// Replaces both databases whole, or neither; the lock must be held.
base::Status replaceLibrary(const std::string& dataDir, std::string_view macros,
                            std::string_view combinations);

// Whether a crash left a write to finish.
bool writesWereInterrupted(const std::string& dataDir);

// Finishes (or, for a staging cut short, undoes) what a crash interrupted and
// removes the temporary files of replaces it cut short; the lock must be held.
base::Status finishInterruptedWrites(const std::string& dataDir);

// Takes the lock, and with it finishes an interrupted write, when there is
// one: for readers, which otherwise never lock. A folder that cannot be
// written is read as it is.
void finishInterruptedWritesBeforeReading(const std::string& dataDir);

}  // namespace brindle::store
