#pragma once
// The lock that orders every writer of one data folder: brindle-cli
// processes, the window, and the editors of any other process. A write
// operation holds it from its look-up to its write, so two writers never both
// append at the same record number, and a combination deletion never renames
// away a record appended meanwhile.
//
// It is an exclusive flock() on "Library.Lck" in the data folder, an empty
// file that is created once and never renamed or removed; not on a database
// file, since a deletion replaces "ComboDb.Dat" by a rename and a lock on the
// old file's inode would not hold across it. (A lock file rather than the
// folder itself, because NFS can lock files but not folders.) The wait blocks
// in the kernel. The lock belongs to the open file, so it is gone when the
// process ends, however it ends. Within one process the locks of one folder
// nest: the outermost takes the flock, inner ones share it (a process writes
// from one thread).
//
// A writer's lock first finishes what a crash interrupted (see
// library_journal.h), so every writer starts from a whole library. A
// reader's lock (an export wants one consistent library) finishes nothing:
// it only reports what waits for the next writer.
#include <memory>
#include <string>

#include "base/status.h"

namespace brindle::store {

class LibraryLock {
  public:
    // Waits until this process holds the library of dataDir. A folder that
    // cannot be opened, or an interrupted write that cannot be finished, is
    // a failure that says why.
    static base::Result<LibraryLock> acquire(const std::string& dataDir);
    // The same for a reader: it renames and writes nothing.
    static base::Result<LibraryLock> acquireToRead(const std::string& dataDir);

    LibraryLock(LibraryLock&&) noexcept = default;
    LibraryLock& operator=(LibraryLock&&) noexcept = default;
    ~LibraryLock();

    struct Held;

  private:
    explicit LibraryLock(std::shared_ptr<Held> held) : m_held(std::move(held)) {}
    static base::Result<LibraryLock> take(const std::string& dataDir, bool toWrite);
    static base::Result<LibraryLock> finishedBy(std::shared_ptr<Held> held,
                                                const std::string& dataDir, bool toWrite);
    std::shared_ptr<Held> m_held;
};

// Whether this process holds the lock of dataDir (for the tests).
bool holdsLibraryLock(const std::string& dataDir);

// For readers, which never rename or write anything: when no writer is at
// work, notes that an interrupted write waits to be finished by the next
// writer, and reports leftover files. Nothing when this process holds the
// lock (its holder has finished everything already).
void noteInterruptedWrites(const std::string& dataDir);
// Whether a write that was interrupted waits for the next writer, when no
// writer is at work: for readers whose result must be whole (a download).
bool interruptedWriteWaits(const std::string& dataDir);

}  // namespace brindle::store
