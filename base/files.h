#pragma once
// Whole files. Replacing a file goes through a fresh temporary file in the
// same folder (created exclusively, so it never follows a link planted at its
// name nor reuses an existing file), flushed to disk and then renamed over the
// old one: a crash or a full disk leaves either the old or the new content,
// never a mixture, a short file or an empty one.
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"

namespace brindle::base {

// An open file descriptor, closed when it goes (-1: none).
class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    bool valid() const { return m_fd >= 0; }
    // Closes now and reports whether the close succeeded.
    bool close();

  private:
    int m_fd;
};

// The temporary file of a replace is path + kTempSuffix + six random
// characters; only a crash leaves one behind.
inline constexpr const char* kTempSuffix = ".tmp-";

Status replaceFile(const std::string& path, std::string_view content);
// The same, giving only the system's reason when it fails ("No space left on
// device"), for callers that word the message themselves.
std::optional<std::string> replaceFileReason(const std::string& path, std::string_view content);

// The whole content of a regular file.
Result<std::string> readWholeFile(const std::string& path);

// Writes the bytes at the offset; returns how many were written before the
// file took no more (all of them on success, errno set otherwise).
std::size_t writeAt(int fd, std::string_view bytes, off_t offset);
// Every byte written, at the offset or at the file position; false (errno
// set) when the file takes no more.
bool writeAllAt(int fd, std::string_view bytes, off_t offset);
bool writeAll(int fd, std::string_view bytes);

// Renames and removals in a folder are on disk once the folder is flushed.
void syncFolder(const std::string& folder);
// The folder of a path, with a trailing '/' ("./" for a bare name).
std::string folderOf(const std::string& path);

}  // namespace brindle::base
