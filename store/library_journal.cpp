#include "store/library_journal.h"

#include <cerrno>
#include <cstring>
#include <tuple>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fault_points.h"
#include "base/files.h"
#include "store/byte_codec.h"
#include "store/config.h"
#include "store/databases.h"
#include "store/library_lock.h"
#include "store/record_file.h"

namespace brindle::store {
namespace {

constexpr std::string_view kMagic = "BRINDLEJ";
constexpr std::size_t kHeaderLength = 13;

std::string reason() {
    return std::strerror(errno);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

struct Target {
    std::string path;
    std::size_t recordLength;
};

Target targetOf(const std::string& dataDir, Database database) {
    return database == Database::Macros ? Target{macroDbPath(dataDir), kMacroRecordLength}
                                        : Target{comboDbPath(dataDir), kComboRecordLength};
}

std::string journalBytes(Database database, int32_t n, const std::string& record) {
    std::string bytes(kMagic);
    bytes.push_back(database == Database::Macros ? 'M' : 'C');
    std::string number(4, '\0');
    putInt32(number, 0, n);
    return bytes + number + record;
}

// The file name goes; the folder is flushed so that a power failure cannot
// bring it back.
void removeFile(const std::string& dataDir, const char* name) {
    base::faultPoint();
    ::unlink((dataDir + name).c_str());
    base::syncFolder(dataDir);
}

base::Status cannotFinish(const std::string& dataDir, const std::string& why) {
    return base::Status::failure("A write to the library in " + dataDir +
                                 " that was interrupted cannot be finished: " + why +
                                 " Nothing more was written.");
}

base::Status finishJournal(const std::string& dataDir) {
    const std::string path = dataDir + kJournalFile;
    if (!exists(path)) {
        return base::Status::success();
    }
    auto bytes = base::readWholeFile(path);
    if (!bytes) {
        return cannotFinish(dataDir, bytes.message());
    }
    const std::string& j = *bytes;
    const bool known = j.size() > kHeaderLength && j.compare(0, kMagic.size(), kMagic) == 0 &&
                       (j[8] == 'M' || j[8] == 'C');
    if (known) {
        const Target target =
            targetOf(dataDir, j[8] == 'M' ? Database::Macros : Database::Combinations);
        const int32_t n = getInt32(j, 9);
        auto count = countRecords(target.path, target.recordLength);
        if (!count) {
            return cannotFinish(dataDir, count.message());
        }
        // A journal is only ever whole (it is renamed into place), so one of
        // another length, or for a record past the end, is not one of ours.
        if (j.size() == kHeaderLength + target.recordLength && n >= 1 && n <= *count + 1) {
            base::Status written =
                writeRecord(target.path, target.recordLength, n, j.substr(kHeaderLength));
            if (!written) {
                return cannotFinish(dataDir, written.message());
            }
        }
    }
    removeFile(dataDir, kJournalFile);
    return base::Status::success();
}

base::Status renameInto(const std::string& dataDir, const char* from, const std::string& to) {
    base::faultPoint();
    if (::rename((dataDir + from).c_str(), to.c_str()) != 0) {
        return base::Status::failure("Cannot put " + to + " in place: " + reason() + ".");
    }
    return base::Status::success();
}

base::Status finishStaging(const std::string& dataDir) {
    const bool macros = exists(dataDir + kMacroStageFile);
    const bool combinations = exists(dataDir + kComboStageFile);
    if (macros && !combinations) {
        // Staging was cut short: the library stays as it was.
        removeFile(dataDir, kMacroStageFile);
        return base::Status::success();
    }
    if (macros) {
        if (base::Status s = renameInto(dataDir, kMacroStageFile, macroDbPath(dataDir)); !s) {
            return cannotFinish(dataDir, s.message());
        }
    }
    if (combinations) {
        if (base::Status s = renameInto(dataDir, kComboStageFile, comboDbPath(dataDir)); !s) {
            return cannotFinish(dataDir, s.message());
        }
    }
    if (macros || combinations) {
        base::syncFolder(dataDir);
    }
    return base::Status::success();
}

// The temporary files of replaces that a crash cut short, for the files that
// are only ever written under the lock.
void removeLeftTemporaries(const std::string& dataDir) {
    static const char* const kLocked[] = {kMacroDbFile, kComboDbFile,    kComboTempFile,
                                          kJournalFile, kMacroStageFile, kComboStageFile,
                                          kConfigFile};
    DIR* folder = ::opendir(dataDir.c_str());
    if (folder == nullptr) {
        return;
    }
    const std::string suffix = base::kTempSuffix;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        for (const char* locked : kLocked) {
            const std::string prefix = locked + suffix;
            if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
                ::unlink((dataDir + name).c_str());
            }
        }
    }
    ::closedir(folder);
}

}  // namespace

base::Status writeRecordSafely(const std::string& dataDir, Database database, int32_t n,
                               const std::string& bytes) {
    const Target target = targetOf(dataDir, database);
    const std::string where = "record " + std::to_string(n) + " of " + target.path;
    if (bytes.size() != target.recordLength || n < 1) {
        return base::Status::failure("Internal error: a record of the wrong size for " +
                                     target.path);
    }
    auto count = countRecords(target.path, target.recordLength);
    if (!count) {
        return base::Status::failure("Cannot write " + where + ": " + count.message() +
                                     " Nothing was written.");
    }
    if (n > *count + 1) {
        return base::Status::failure("Internal error: " + where + " lies past the end.");
    }
    if (auto why =
            base::replaceFileReason(dataDir + kJournalFile, journalBytes(database, n, bytes))) {
        return base::Status::failure("Cannot write " + where + ": " + *why + " (its journal " +
                                     dataDir + kJournalFile +
                                     " cannot be written). The file was left as it was.");
    }
    base::Status written = writeRecord(target.path, target.recordLength, n, bytes);
    // Written, or put back as it was: either way the journal is done with.
    removeFile(dataDir, kJournalFile);
    return written;
}

base::Status replaceLibrary(const std::string& dataDir, std::string_view macros,
                            std::string_view combinations) {
    for (const std::string& path : {macroDbPath(dataDir), comboDbPath(dataDir)}) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            return base::Status::failure(path + " is not a regular file. Nothing was written.");
        }
    }
    auto undoStaging = [&] {
        ::unlink((dataDir + kComboStageFile).c_str());
        ::unlink((dataDir + kMacroStageFile).c_str());
    };
    for (auto [name, target, bytes] :
         {std::tuple{kMacroStageFile, macroDbPath(dataDir), macros},
          std::tuple{kComboStageFile, comboDbPath(dataDir), combinations}}) {
        if (auto why = base::replaceFileReason(dataDir + name, bytes)) {
            undoStaging();
            return base::Status::failure("Cannot write " + target + ": " + *why +
                                         ". The library was left as it was.");
        }
    }
    if (base::Status s = renameInto(dataDir, kMacroStageFile, macroDbPath(dataDir)); !s) {
        undoStaging();
        return base::Status::failure(s.message() + " The library was left as it was.");
    }
    if (base::Status s = renameInto(dataDir, kComboStageFile, comboDbPath(dataDir)); !s) {
        // The macros are in place: the combinations follow at the next lock.
        return base::Status::failure(s.message() +
                                     " It is put in place the next time the library is written.");
    }
    base::syncFolder(dataDir);
    return base::Status::success();
}

bool writesWereInterrupted(const std::string& dataDir) {
    return exists(dataDir + kJournalFile) || exists(dataDir + kMacroStageFile) ||
           exists(dataDir + kComboStageFile);
}

base::Status finishInterruptedWrites(const std::string& dataDir) {
    if (base::Status s = finishStaging(dataDir); !s) {
        return s;
    }
    if (base::Status s = finishJournal(dataDir); !s) {
        return s;
    }
    removeLeftTemporaries(dataDir);
    return base::Status::success();
}

void finishInterruptedWritesBeforeReading(const std::string& dataDir) {
    if (writesWereInterrupted(dataDir)) {
        base::skipOnError(LibraryLock::acquire(dataDir));
    }
}

}  // namespace brindle::store
