#include "store/leading_fields.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/record_count.h"

namespace brindle::store {
namespace {

constexpr std::time_t kTimestampSlackSeconds = 2;

struct Signature {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    std::size_t recordLength = 0;
    std::size_t width = 0;

    bool operator==(const Signature& o) const {
        auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == o.device && inode == o.inode && size == o.size &&
               same(modified, o.modified) && same(changed, o.changed) &&
               recordLength == o.recordLength && width == o.width;
    }
};

struct Remembered {
    Signature signature;
    std::vector<std::string> fields;
};

std::mutex g_mutex;
std::map<std::string, Remembered> g_remembered;
ScanClock g_clock = nullptr;

std::time_t scanClockNow() {
    {
        std::lock_guard lock(g_mutex);
        if (g_clock != nullptr) {
            return g_clock();
        }
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec;
}

bool olderThan(const timespec& t, std::time_t limit) {
    return t.tv_sec < limit;
}

}  // namespace

std::vector<std::string> readLeadingFields(const std::string& path, std::size_t recordLength,
                                           std::size_t width) {
    std::vector<std::string> fields;
    // A file that is refused (not a regular file, too many records) or empty
    // has no fields; it is never opened, so a pipe cannot block the scan.
    const int32_t count = recordCount(path, recordLength);
    if (count <= 0) {
        return fields;
    }
    const std::time_t scanStart = scanClockNow();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return fields;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fields;
    }
    const Signature signature{st.st_dev,  st.st_ino,    st.st_size, st.st_mtim,
                              st.st_ctim, recordLength, width};
    {
        std::lock_guard lock(g_mutex);
        auto found = g_remembered.find(path);
        if (found != g_remembered.end() && found->second.signature == signature) {
            ::close(fd);
            return found->second.fields;
        }
    }
    const auto whole = static_cast<int32_t>(static_cast<std::uintmax_t>(st.st_size) / recordLength);
    const int32_t records = std::min(count, whole);
    fields.reserve(static_cast<std::size_t>(std::max(records, 0)));
    std::string field(width, '\0');
    for (int32_t n = 1; n <= records; ++n) {
        const off_t offset = static_cast<off_t>(n - 1) * static_cast<off_t>(recordLength);
        const ssize_t got = ::pread(fd, field.data(), width, offset);
        fields.push_back(got == static_cast<ssize_t>(width) ? field : std::string());
    }
    ::close(fd);

    const std::time_t limit = scanStart - kTimestampSlackSeconds;
    std::lock_guard lock(g_mutex);
    if (olderThan(st.st_mtim, limit) && olderThan(st.st_ctim, limit)) {
        g_remembered[path] = {signature, fields};
    } else {
        g_remembered.erase(path);
    }
    return fields;
}

void forgetLeadingFields(const std::string& path) {
    std::lock_guard lock(g_mutex);
    if (path.empty()) {
        g_remembered.clear();
    } else {
        g_remembered.erase(path);
    }
}

bool leadingFieldsRemembered(const std::string& path) {
    std::lock_guard lock(g_mutex);
    return g_remembered.count(path) > 0;
}

void setLeadingFieldsClock(ScanClock clock) {
    std::lock_guard lock(g_mutex);
    g_clock = clock;
}

}  // namespace brindle::store
