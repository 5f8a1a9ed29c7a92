#pragma once
// Writes to the macro library that a crash cannot leave half done.
//
// A record write first puts the record, with where it goes, into the journal
// "Library.Jnl" (written whole and renamed into place), then writes it into
// the database and removes the journal. A write that a crash cut short (the
// kernel may stop a write of several pages part way when SIGKILL arrives, and
// power can fail at any moment) is written again whole from the journal by
// the next writer, before it does anything else.
//
// Replacing both databases (an import) stages them as "MacroDb.new" and
// "ComboDb.new", each written whole, then writes a journal that records the
// length and checksum of each, then renames "MacroDb.new" into place and
// then "ComboDb.new", and removes the journal. A staged file is only ever
// renamed into place when a journal of ours names it and it is still the
// file that was staged; staging that a crash cut short (no journal yet)
// leaves the library as it was.
//
// "Library.Jnl", little-endian throughout:
//   0   8  "BRINDLEJ"
//   8   1  'M' or 'C': a record of "MacroDb.Dat" or "ComboDb.Dat"
//   9   4    record number, int32, 1 or more
//   13  n    the record (16360 or 1140 bytes)
//   8   1  'R': both databases replaced
//   9   8    length of "MacroDb.new", uint64
//   17  8    checksum of "MacroDb.new" (FNV-1a, 64 bits)
//   25  8    length of "ComboDb.new"
//   33  8    checksum of "ComboDb.new"
//   last 8 bytes: the checksum of every byte before them.
//
// Nothing is trusted for its name alone. A journal or staged file is used
// only when it is a regular file (never through a link) of this user and
// checks out; anything else is left in place and reported once as "a
// leftover file ... was not used", never renamed over a database. Readers
// never rename or write: they report that a write waits to be finished.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace brindle::store {

enum class Database { Macros, Combinations };

// Writes record n (count + 1 appends) of the database; the lock must be held.
// A write that fails leaves the database as it was.
base::Status writeRecordSafely(const std::string& dataDir, Database database, int32_t n,
                               const std::string& bytes);

// Replaces both databases whole, or neither; the lock must be held.
base::Status replaceLibrary(const std::string& dataDir, std::string_view macros,
                            std::string_view combinations);

// Whether a crash left a write, in a journal of ours, to finish.
bool writesWereInterrupted(const std::string& dataDir);

// Finishes what a crash interrupted, as its journal says, reports leftover
// files that no journal of ours names, and removes the temporary files of
// replaces a crash cut short; the lock must be held.
base::Status finishInterruptedWrites(const std::string& dataDir);

// For readers, which never rename or write anything: notes that an
// interrupted write waits to be finished by the next writer, and reports
// leftover files, without looking at the lock (a reader's lock calls it, and
// noteInterruptedWrites in library_lock.h when no writer is at work).
void inspectInterruptedWrites(const std::string& dataDir);

// What the user should know of the library that is no failure of the
// operation (a leftover file, a write still to finish): each text once per
// process, taken from the list by the caller that shows them.
std::vector<std::string> takeLibraryNotes();

}  // namespace brindle::store
