#include "store/record_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fault_points.h"
#include "base/files.h"
#include "store/leading_fields.h"

namespace brindle::store {

using Fd = base::UniqueFd;

std::optional<std::string> readRecord(const std::string& path, std::size_t recordLength,
                                      int32_t n) {
    if (n < 1) {
        return std::nullopt;
    }
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    std::string bytes(recordLength, '\0');
    off_t offset = static_cast<off_t>(n - 1) * static_cast<off_t>(recordLength);
    std::size_t done = 0;
    while (done < recordLength) {
        ssize_t got = ::pread(fd.get(), bytes.data() + done, recordLength - done,
                              offset + static_cast<off_t>(done));
        if (got <= 0) {
            return std::nullopt;
        }
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

base::Status writeRecord(const std::string& path, std::size_t recordLength, int32_t n,
                         const std::string& bytes) {
    if (bytes.size() != recordLength || n < 1) {
        return base::Status::failure("Internal error: a record of the wrong size for " + path);
    }
    // Whatever happens below, remembered names of this file are stale.
    forgetLeadingFields(path);
    const std::string where = "record " + std::to_string(n) + " of " + path;
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0644));
    if (!fd.valid() && errno == ELOOP) {
        return base::Status::failure(notRegularReason(path, S_IFLNK) + " Nothing was written.");
    }
    if (!fd.valid()) {
        return base::Status::failure("Cannot open " + path + " for writing: " +
                                     std::strerror(errno) + ". Nothing was written.");
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return base::Status::failure("Cannot examine " + path + ".");
    }
    if (!S_ISREG(st.st_mode)) {
        return base::Status::failure(notRegularReason(path, st.st_mode) + " Nothing was written.");
    }
    // Whatever a caller counted, a file beyond the formats' limit is never
    // written into, and no record beyond it is added.
    const int64_t records = static_cast<int64_t>(st.st_size) / static_cast<int64_t>(recordLength);
    if (records > kMaxRecords || n > kMaxRecords) {
        return base::Status::failure(path + " would hold more than " + std::to_string(kMaxRecords) +
                                     " records, which the library does not allow; nothing was "
                                     "written.");
    }
    const off_t oldLength = st.st_size;
    const off_t offset = static_cast<off_t>(n - 1) * static_cast<off_t>(recordLength);
    const bool inPlace = offset + static_cast<off_t>(recordLength) <= oldLength;
    // What a failed overwrite must put back: a write cut short by a full disk
    // or a size limit has changed the bytes before the point where it stopped.
    std::optional<std::string> old;
    if (inPlace) {
        old = readRecord(path, recordLength, n);
        if (!old) {
            return base::Status::failure("Cannot read " + where + " before writing it: " +
                                         std::strerror(errno) + ". Nothing was written.");
        }
    }
    const std::size_t written = base::writeAt(fd.get(), bytes, offset);
    if (written == bytes.size() && ::fsync(fd.get()) == 0) {
        if (!fd.close()) {
            return base::Status::failure("Cannot close " + path + " after writing.");
        }
        return base::Status::success();
    }
    const std::string why = std::strerror(errno);
    if (inPlace) {
        // Only the bytes that were written go back: the rest never changed.
        if (!base::writeAllAt(fd.get(), std::string_view(*old).substr(0, written), offset)) {
            return base::Status::failure("Cannot write " + where + ": " + why +
                                         ". The record could not be put back either.");
        }
    } else {
        // An append that did not complete must not leave a partial record.
        base::faultPoint();
        if (::ftruncate(fd.get(), oldLength) != 0) {
            return base::Status::failure("Cannot write " + where + ": " + why +
                                         ". Its partial record could not be removed.");
        }
    }
    ::fsync(fd.get());
    return base::Status::failure("Cannot write " + where + ": " + why +
                                 ". The file was left as it was.");
}

}  // namespace brindle::store
