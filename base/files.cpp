#include "base/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fault_points.h"

namespace brindle::base {

UniqueFd::~UniqueFd() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

bool UniqueFd::close() {
    const int fd = m_fd;
    m_fd = -1;
    return fd >= 0 && ::close(fd) == 0;
}
namespace {

std::string reason() {
    return std::strerror(errno);
}

// One pwrite or write loop; offset < 0 writes at the file position. Returns
// the bytes written.
std::size_t writeBytes(int fd, std::string_view bytes, off_t offset) {
    faultPoint();
    std::size_t done = 0;
    std::size_t chunk = faultWriteSize(bytes.size());
    while (done < bytes.size()) {
        const std::size_t want = std::min(chunk, bytes.size() - done);
        const ssize_t n =
            offset < 0 ? ::write(fd, bytes.data() + done, want)
                       : ::pwrite(fd, bytes.data() + done, want, offset + static_cast<off_t>(done));
        faultAfterWrite();
        chunk = bytes.size();
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return done;
        }
        if (n == 0) {
            errno = ENOSPC;
            return done;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

std::size_t writeAt(int fd, std::string_view bytes, off_t offset) {
    return writeBytes(fd, bytes, offset);
}

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
    return writeBytes(fd, bytes, offset) == bytes.size();
}

bool writeAll(int fd, std::string_view bytes) {
    return writeBytes(fd, bytes, -1) == bytes.size();
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::optional<std::string> replaceFileReason(const std::string& path, std::string_view content) {
    std::vector<char> name(path.begin(), path.end());
    const std::string suffix = std::string(kTempSuffix) + "XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    faultPoint();
    // mkostemp creates with O_EXCL: an existing file or link of that name is
    // never opened.
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return reason();
    }
    const std::string temp(name.data());
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    std::string why = ok ? std::string() : reason();
    if (::close(fd) != 0 && ok) {
        ok = false;
        why = reason();
    }
    if (ok) {
        faultPoint();
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            ok = false;
            why = reason();
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return why;
    }
    faultPoint();  // renamed, the folder not yet flushed
    syncFolder(folderOf(path));
    return std::nullopt;
}

Status replaceFile(const std::string& path, std::string_view content) {
    if (auto why = replaceFileReason(path, content)) {
        return Status::failure("Cannot write " + path + ": " + *why + ". It was left as it was.");
    }
    return Status::success();
}

Result<std::string> readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return Status::failure("Cannot open " + path + ": " + reason() + ".");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure("Cannot read " + path + ": not a regular file.");
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const std::string why = reason();
            ::close(fd);
            return Status::failure("Cannot read " + path + ": " + why + ".");
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return bytes;
}

}  // namespace brindle::base
