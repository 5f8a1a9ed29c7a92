#include "store/library_journal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <tuple>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fault_points.h"
#include "base/files.h"
#include "store/byte_codec.h"
#include "store/file_names.h"
#include "store/leading_fields.h"
#include "store/record_file.h"
#include "store/records.h"

namespace brindle::store {
namespace {

constexpr std::string_view kMagic = "BRINDLEJ";
constexpr std::size_t kHeaderLength = 13;
constexpr std::size_t kReplaceLength = 9 + 32;
constexpr std::size_t kTrailerLength = 8;

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

std::string sealed(std::string bytes) {
    std::string trailer(kTrailerLength, '\0');
    putUint64(trailer, 0, checksum(bytes));
    return bytes + trailer;
}

std::string journalBytes(Database database, int32_t n, const std::string& record) {
    std::string bytes(kMagic);
    bytes.push_back(database == Database::Macros ? 'M' : 'C');
    std::string number(4, '\0');
    putInt32(number, 0, n);
    return sealed(bytes + number + record);
}

// The notes of this process, each reported once.
struct Notes {
    std::mutex mutex;
    std::set<std::string> reported;
    std::vector<std::string> pending;
};
Notes& notes() {
    static Notes n;
    return n;
}

void note(const std::string& text) {
    Notes& n = notes();
    std::lock_guard lock(n.mutex);
    if (n.reported.insert(text).second) {
        n.pending.push_back(text);
    }
}

void noteLeftover(const std::string& path, const std::string& why) {
    note("A leftover file " + path + " was not used: " + why + ". It was left in place.");
}

using Fd = base::UniqueFd;

// Opens a file the library may have written itself: a regular file, reached
// without a link, that belongs to this user. Otherwise -1 and why not.
int openOwnFile(const std::string& path, std::string& why, off_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ELOOP ? "it is a symbolic link" : "it cannot be opened (" + reason() + ")";
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "it is not a regular file";
    } else if (st.st_uid != ::geteuid()) {
        why = "it belongs to another user";
    } else {
        size = st.st_size;
        return fd;
    }
    ::close(fd);
    return -1;
}

// Reads up to `length` bytes from the start, feeding them to `take`; false
// when the file holds fewer.
template <typename Take>
bool readAll(int fd, std::size_t length, Take take) {
    char buffer[65536];
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, buffer, std::min(sizeof buffer, length - done), static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        take(std::string_view(buffer, static_cast<std::size_t>(got)));
        done += static_cast<std::size_t>(got);
    }
    return true;
}

struct Journal {
    enum class Found { None, Ours, NotOurs } found = Found::None;
    std::string why;  // NotOurs
    char kind = 0;    // 'M', 'C' or 'R'
    int32_t number = 0;
    std::string record;
    uint64_t lengths[2] = {0, 0};  // macros, combinations
    uint64_t sums[2] = {0, 0};
};

Journal readJournal(const std::string& dataDir) {
    Journal j;
    const std::string path = dataDir + kJournalFile;
    if (!exists(path)) {
        return j;
    }
    j.found = Journal::Found::NotOurs;
    off_t size = 0;
    Fd fd(openOwnFile(path, j.why, size));
    if (fd.get() < 0) {
        return j;
    }
    j.why = "it is not a journal of a write this program made";
    const auto length = static_cast<std::size_t>(size);
    const bool recordSized = length == kHeaderLength + kMacroRecordLength + kTrailerLength ||
                             length == kHeaderLength + kComboRecordLength + kTrailerLength;
    std::string bytes;
    if ((!recordSized && length != kReplaceLength + kTrailerLength) ||
        !readAll(fd.get(), length, [&](std::string_view piece) { bytes.append(piece); })) {
        return j;
    }
    const std::string body = bytes.substr(0, length - kTrailerLength);
    if (body.compare(0, kMagic.size(), kMagic) != 0 ||
        getUint64(bytes, length - kTrailerLength) != checksum(body)) {
        return j;
    }
    j.kind = body[8];
    if (j.kind == 'R' && body.size() == kReplaceLength) {
        for (std::size_t i = 0; i < 2; ++i) {
            j.lengths[i] = getUint64(body, 9 + 16 * i);
            j.sums[i] = getUint64(body, 17 + 16 * i);
        }
    } else if ((j.kind == 'M' && body.size() == kHeaderLength + kMacroRecordLength) ||
               (j.kind == 'C' && body.size() == kHeaderLength + kComboRecordLength)) {
        j.number = getInt32(body, 9);
        j.record = body.substr(kHeaderLength);
    } else {
        return j;
    }
    j.found = Journal::Found::Ours;
    return j;
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

base::Status finishRecordWrite(const std::string& dataDir, const Journal& j) {
    const Target target =
        targetOf(dataDir, j.kind == 'M' ? Database::Macros : Database::Combinations);
    auto count = countRecords(target.path, target.recordLength);
    if (!count) {
        return cannotFinish(dataDir, count.message());
    }
    if (j.number < 1 || j.number > *count + 1) {
        // The database changed since: this journal is not for it.
        noteLeftover(dataDir + kJournalFile, "it writes record " + std::to_string(j.number) +
                                                 ", past the end of " +
                                                 (j.kind == 'M' ? kMacroDbFile : kComboDbFile));
        return base::Status::success();
    }
    if (base::Status written = writeRecord(target.path, target.recordLength, j.number, j.record);
        !written) {
        return cannotFinish(dataDir, written.message());
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

struct Stage {
    const char* name;
    std::size_t recordLength;
};
constexpr Stage kStages[2] = {{kMacroStageFile, kMacroRecordLength},
                              {kComboStageFile, kComboRecordLength}};

// Whether the staged file is the one the journal recorded; otherwise why not.
bool stagedAsRecorded(const std::string& path, const Stage& stage, uint64_t length, uint64_t sum,
                      std::string& why) {
    off_t size = 0;
    Fd fd(openOwnFile(path, why, size));
    if (fd.get() < 0) {
        return false;
    }
    if (static_cast<uint64_t>(size) % stage.recordLength != 0) {
        why = "its length is not a whole number of records";
        return false;
    }
    uint64_t found = kChecksumStart;
    if (static_cast<uint64_t>(size) != length ||
        !readAll(fd.get(), static_cast<std::size_t>(size),
                 [&](std::string_view piece) { found = checksum(piece, found); }) ||
        found != sum) {
        why =
            "it is not the file that the interrupted write staged (its length or checksum "
            "differs)";
        return false;
    }
    return true;
}

base::Status finishReplace(const std::string& dataDir, const Journal& j) {
    // Every staged file that is left must check out before any is renamed:
    // one without the other would mix two libraries.
    bool present[2] = {false, false};
    std::string why[2];
    bool usable = true;
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string path = dataDir + kStages[i].name;
        present[i] = exists(path);
        if (present[i] && !stagedAsRecorded(path, kStages[i], j.lengths[i], j.sums[i], why[i])) {
            usable = false;
        }
    }
    for (std::size_t i = 0; i < 2 && !usable; ++i) {
        if (present[i]) {
            noteLeftover(
                dataDir + kStages[i].name,
                why[i].empty() ? "the other file staged with it is not as it was staged" : why[i]);
        }
    }
    const std::string targets[2] = {macroDbPath(dataDir), comboDbPath(dataDir)};
    for (std::size_t i = 0; i < 2 && usable; ++i) {
        if (present[i]) {
            if (base::Status s = renameInto(dataDir, kStages[i].name, targets[i]); !s) {
                return cannotFinish(dataDir, s.message());
            }
            forgetLeadingFields(targets[i]);
        }
    }
    base::syncFolder(dataDir);
    removeFile(dataDir, kJournalFile);
    return base::Status::success();
}

void noteStrayStages(const std::string& dataDir) {
    for (const Stage& stage : kStages) {
        if (exists(dataDir + stage.name)) {
            noteLeftover(dataDir + stage.name,
                         "no journal of an interrupted write of this program names it");
        }
    }
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
            return base::Status::failure(notRegularReason(path, st.st_mode) +
                                         " Nothing was written.");
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
    // The journal makes the staged files the library: from here on a crash
    // leaves a write that the next writer finishes.
    std::string journal(kMagic);
    journal.push_back('R');
    journal.resize(kReplaceLength);
    putUint64(journal, 9, macros.size());
    putUint64(journal, 17, checksum(macros));
    putUint64(journal, 25, combinations.size());
    putUint64(journal, 33, checksum(combinations));
    if (auto why = base::replaceFileReason(dataDir + kJournalFile, sealed(journal))) {
        undoStaging();
        return base::Status::failure("Cannot write the journal " + dataDir + kJournalFile + ": " +
                                     *why + ". The library was left as it was.");
    }
    if (base::Status s = renameInto(dataDir, kMacroStageFile, macroDbPath(dataDir)); !s) {
        ::unlink((dataDir + kJournalFile).c_str());
        undoStaging();
        return base::Status::failure(s.message() + " The library was left as it was.");
    }
    if (base::Status s = renameInto(dataDir, kComboStageFile, comboDbPath(dataDir)); !s) {
        // The macros are in place: the combinations follow at the next lock.
        return base::Status::failure(s.message() +
                                     " It is put in place the next time the library is written.");
    }
    forgetLeadingFields(macroDbPath(dataDir));
    forgetLeadingFields(comboDbPath(dataDir));
    base::syncFolder(dataDir);
    removeFile(dataDir, kJournalFile);
    return base::Status::success();
}

bool writesWereInterrupted(const std::string& dataDir) {
    return readJournal(dataDir).found == Journal::Found::Ours;
}

base::Status finishInterruptedWrites(const std::string& dataDir) {
    const Journal j = readJournal(dataDir);
    if (j.found == Journal::Found::NotOurs) {
        noteLeftover(dataDir + kJournalFile, j.why);
    } else if (j.found == Journal::Found::Ours) {
        base::Status s = j.kind == 'R' ? finishReplace(dataDir, j) : finishRecordWrite(dataDir, j);
        if (!s) {
            return s;
        }
    }
    if (j.found != Journal::Found::Ours || j.kind != 'R') {
        noteStrayStages(dataDir);
    }
    removeLeftTemporaries(dataDir);
    return base::Status::success();
}

void inspectInterruptedWrites(const std::string& dataDir) {
    const Journal j = readJournal(dataDir);
    if (j.found == Journal::Found::NotOurs) {
        noteLeftover(dataDir + kJournalFile, j.why);
    }
    if (j.found == Journal::Found::Ours) {
        note("A write to the library in " + dataDir +
             " was interrupted; it waits to be finished by the next writer, and what is shown "
             "here may not include it.");
    }
    if (j.found != Journal::Found::Ours || j.kind != 'R') {
        noteStrayStages(dataDir);
    }
}

std::vector<std::string> takeLibraryNotes() {
    Notes& n = notes();
    std::lock_guard lock(n.mutex);
    return std::exchange(n.pending, {});
}

}  // namespace brindle::store
