#include "link/device_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "base/files.h"

namespace brindle::link {

namespace {

bool processAlive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

std::optional<long> pidFromText(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    long pid = 0;
    std::size_t digits = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 10; ++at, ++digits) {
        pid = pid * 10 + (text[at] - '0');
    }
    if (digits == 0 || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

std::optional<long> pidOf(int fd) {
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0) {
        return std::nullopt;
    }
    return pidFromText(std::string(text, static_cast<std::size_t>(got)));
}

// The lock file at path is the one open at fd (not one removed and made
// again since it was opened).
bool stillAtPath(int fd, const std::string& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

std::string lockFolder() {
    for (const char* folder : {"/run/lock", "/var/lock"}) {
        struct stat info {};
        if (::stat(folder, &info) == 0 && S_ISDIR(info.st_mode) &&
            ::access(folder, W_OK | X_OK) == 0) {
            return folder;
        }
    }
    return "/tmp";
}

std::string identityLockName(dev_t device) {
    char name[40];
    std::snprintf(name, sizeof name, "LK.%03u.%03u", ::major(device), ::minor(device));
    return name;
}

std::string inUseMessage(const std::string& device, std::optional<long> pid) {
    std::string text = "the port " + device + " is in use by another program";
    if (pid) {
        text += " (process " + std::to_string(*pid) + ")";
    }
    return text;
}

std::optional<long> lockFilePid(const std::string& path) {
    auto text = base::readWholeFile(path);
    return text ? pidFromText(*text) : std::nullopt;
}

DeviceLock::DeviceLock(DeviceLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_file(std::move(other.m_file)) {}

DeviceLock& DeviceLock::operator=(DeviceLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_file = std::move(other.m_file);
    }
    return *this;
}

void DeviceLock::release() {
    if (m_fd < 0) {
        return;
    }
    // Removed while still locked, so that whoever opens it next either finds
    // no file or one that stillAtPath tells apart.
    ::unlink(m_file.c_str());
    ::close(m_fd);
    m_fd = -1;
}

base::Result<DeviceLock> DeviceLock::acquire(const std::string& path, const std::string& folder) {
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0) {
        return base::Status::failure(path + ": " + std::strerror(errno));
    }
    DeviceLock lock;
    lock.m_file = folder + "/" + identityLockName(device.st_rdev);
    // A few rounds: a holder may remove the file between our open and flock.
    for (int round = 0; round < 5; ++round) {
        const int fd = ::open(lock.m_file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            // Someone else's lock file that we may only read, or a folder we
            // may not write: honour a live pid, else go on without a file.
            if (const auto pid = lockFilePid(lock.m_file); pid && processAlive(*pid)) {
                return base::Status::failure(inUseMessage(path, pid));
            }
            return DeviceLock{};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const auto pid = pidOf(fd);
            ::close(fd);
            return base::Status::failure(inUseMessage(path, pid));
        }
        if (!stillAtPath(fd, lock.m_file)) {
            ::close(fd);
            continue;
        }
        // A program that honours the pid but not the flock.
        if (const auto pid = pidOf(fd); pid && *pid != ::getpid() && processAlive(*pid)) {
            ::close(fd);
            return base::Status::failure(inUseMessage(path, pid));
        }
        char text[16];
        const int length =
            std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
        if (::ftruncate(fd, 0) != 0 ||
            !base::writeAllAt(fd, std::string_view(text, static_cast<std::size_t>(length)), 0)) {
            ::unlink(lock.m_file.c_str());
            ::close(fd);
            return DeviceLock{};
        }
        ::fchmod(fd, 0644);
        lock.m_fd = fd;
        return lock;
    }
    return base::Status::failure(inUseMessage(path, lockFilePid(lock.m_file)));
}

base::Status lockDescriptor(int fd, const std::string& device) {
    // Refused only where the descriptor is no terminal; the flock still holds.
    (void)::ioctl(fd, TIOCEXCL);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return base::Status::failure(inUseMessage(device, std::nullopt));
    }
    return base::Status::success();
}

}  // namespace brindle::link
