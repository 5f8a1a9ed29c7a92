#include "store/record_file.h"

#include "store/leading_fields.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle::store {
namespace fs = std::filesystem;

namespace {

class Fd {
  public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

bool writeAll(int fd, const std::string& bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                             offset + static_cast<off_t>(done));
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

base::Status ensureFile(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT, 0644));
    // A read-only file still exists and can be read.
    if (fd.valid() || ::access(path.c_str(), R_OK) == 0) {
        return base::Status::success();
    }
    return base::Status::failure("Cannot create " + path + ".");
}

std::optional<std::uintmax_t> fileLength(const std::string& path) {
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return size;
}

int32_t recordCount(const std::string& path, std::size_t recordLength) {
    // A file that cannot be created counts no records.
    base::skipOnError(ensureFile(path));
    auto length = fileLength(path);
    if (!length) {
        return 0;
    }
    return static_cast<int32_t>(*length / recordLength);
}

std::optional<std::string> readRecord(const std::string& path, std::size_t recordLength,
                                      int32_t n) {
    if (n < 1) {
        return std::nullopt;
    }
    Fd fd(::open(path.c_str(), O_RDONLY));
    if (!fd.valid()) {
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
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT, 0644));
    if (!fd.valid()) {
        return base::Status::failure("Cannot open " + path + " for writing.");
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return base::Status::failure("Cannot examine " + path + ".");
    }
    const off_t oldLength = st.st_size;
    const off_t offset = static_cast<off_t>(n - 1) * static_cast<off_t>(recordLength);
    bool ok = writeAll(fd.get(), bytes, offset) && ::fsync(fd.get()) == 0;
    if (!ok) {
        // An append that did not complete must not leave a partial record behind.
        if (offset >=
            oldLength - static_cast<off_t>(oldLength % static_cast<off_t>(recordLength))) {
            if (::ftruncate(fd.get(), oldLength) != 0) {
                // Nothing more can be done; the caller reports the failure.
            }
        }
        return base::Status::failure("Cannot write record " + std::to_string(n) + " of " + path +
                                     " (disk full or read-only?). The file was left as it was.");
    }
    if (!fd.close()) {
        return base::Status::failure("Cannot close " + path + " after writing.");
    }
    return base::Status::success();
}

}  // namespace brindle::store
