#include "store/record_count.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"

namespace brindle::store {

using Fd = base::UniqueFd;

base::Status ensureFile(const std::string& path) {
    // A link at the name is never followed, nor created through.
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0644));
    // A read-only file still exists and can be read.
    struct stat st {};
    if (fd.valid() || (::lstat(path.c_str(), &st) == 0 && ::access(path.c_str(), R_OK) == 0)) {
        return base::Status::success();
    }
    return base::Status::failure("Cannot create " + path + ".");
}

std::optional<std::uintmax_t> fileLength(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(st.st_size);
}

std::string notRegularReason(const std::string& path, unsigned mode) {
    const char* what = S_ISLNK(mode)                    ? "a symbolic link, which is never followed"
                       : S_ISDIR(mode)                  ? "a folder"
                       : S_ISFIFO(mode)                 ? "a FIFO (named pipe)"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "of an unknown kind";
    return path + " is " + what + ", not a regular file.";
}

base::Result<int32_t> countRecords(const std::string& path, std::size_t recordLength) {
    // A file that cannot be created counts no records.
    base::skipOnError(ensureFile(path));
    return countRecordsAsTheyAre(path, recordLength);
}

base::Result<int32_t> countRecordsAsTheyAre(const std::string& path, std::size_t recordLength) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        return base::Status::failure(notRegularReason(path, st.st_mode));
    }
    const int64_t count = static_cast<int64_t>(st.st_size) / static_cast<int64_t>(recordLength);
    if (count > kMaxRecords) {
        return base::Status::failure(path + " holds " + std::to_string(count) +
                                     " records; the library allows at most " +
                                     std::to_string(kMaxRecords) + ". It was not read.");
    }
    return static_cast<int32_t>(count);
}

int32_t recordCount(const std::string& path, std::size_t recordLength) {
    return countRecords(path, recordLength).valueOr(0);
}

}  // namespace brindle::store
