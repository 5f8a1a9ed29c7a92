#include "store/library_lock.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "store/file_names.h"
#include "store/library_journal.h"

namespace brindle::store {

using Key = std::pair<dev_t, ino_t>;

struct LibraryLock::Held {
    int fd = -1;
    Key key;
    bool finished = false;  // interrupted writes finished under it
    ~Held();
};

namespace {

// The locks this process holds, by lock file.
std::map<Key, std::weak_ptr<LibraryLock::Held>>& held() {
    static std::map<Key, std::weak_ptr<LibraryLock::Held>> locks;
    return locks;
}

base::Status cannotLock(const std::string& dataDir, const std::string& why) {
    return base::Status::failure("The data folder " + dataDir + " cannot be locked for writing: " +
                                 why + ". Nothing was written.");
}

}  // namespace

LibraryLock::Held::~Held() {
    held().erase(key);
    // Closing the file releases the lock.
    ::close(fd);
}

LibraryLock::~LibraryLock() = default;

base::Result<LibraryLock> LibraryLock::acquire(const std::string& dataDir) {
    return take(dataDir, true);
}

base::Result<LibraryLock> LibraryLock::acquireToRead(const std::string& dataDir) {
    return take(dataDir, false);
}

base::Result<LibraryLock> LibraryLock::finishedBy(std::shared_ptr<Held> held,
                                                  const std::string& dataDir, bool toWrite) {
    LibraryLock lock(held);
    if (held->finished) {
        return lock;
    }
    if (!toWrite) {
        inspectInterruptedWrites(dataDir);
        return lock;
    }
    if (base::Status finished = finishInterruptedWrites(dataDir); !finished) {
        return finished;
    }
    held->finished = true;
    return lock;
}

base::Result<LibraryLock> LibraryLock::take(const std::string& dataDir, bool toWrite) {
    const std::string path = dataDir + kLockFile;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0644);
    const int openError = errno;
    if (fd < 0 && (openError == EROFS || openError == EACCES)) {
        // A folder that cannot be written may still hold the file, and a
        // file open for reading takes an exclusive flock all the same.
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    }
    if (fd < 0) {
        // The first reason is the one that matters (a read-only folder).
        return cannotLock(dataDir, std::string("cannot create ") + kLockFile + " (" +
                                       std::strerror(openError) + ")");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return cannotLock(dataDir, std::string(kLockFile) + " is not a regular file");
    }
    const Key key{st.st_dev, st.st_ino};
    if (auto it = held().find(key); it != held().end()) {
        if (auto shared = it->second.lock()) {
            ::close(fd);
            return finishedBy(std::move(shared), dataDir, toWrite);
        }
    }
    // Blocks until the other writer is done; a signal only restarts the wait.
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            // A file system without locks (some network mounts): go on
            // unlocked rather than refuse every write.
            break;
        }
    }
    auto shared = std::make_shared<Held>();
    shared->fd = fd;
    shared->key = key;
    held()[key] = shared;
    return finishedBy(std::move(shared), dataDir, toWrite);
}

bool holdsLibraryLock(const std::string& dataDir) {
    struct stat st {};
    if (::stat((dataDir + kLockFile).c_str(), &st) != 0) {
        return false;
    }
    auto it = held().find(Key{st.st_dev, st.st_ino});
    return it != held().end() && !it->second.expired();
}

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Whether the journal and staged files there may be are left by a write that
// was interrupted: a writer at work has them too, so only when neither this
// process nor another holds the lock.
bool noWriterAtWork(const std::string& dataDir) {
    if (holdsLibraryLock(dataDir)) {
        return false;
    }
    base::UniqueFd lock(
        ::open((dataDir + kLockFile).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return !(lock.get() >= 0 && ::flock(lock.get(), LOCK_SH | LOCK_NB) != 0 &&
             errno == EWOULDBLOCK);
}

}  // namespace

void noteInterruptedWrites(const std::string& dataDir) {
    if ((exists(dataDir + kJournalFile) || exists(dataDir + kMacroStageFile) ||
         exists(dataDir + kComboStageFile)) &&
        noWriterAtWork(dataDir)) {
        inspectInterruptedWrites(dataDir);
    }
}

bool interruptedWriteWaits(const std::string& dataDir) {
    return exists(dataDir + kJournalFile) && noWriterAtWork(dataDir) &&
           writesWereInterrupted(dataDir);
}

}  // namespace brindle::store
