#include "store/browsable_mounts.h"

#include <algorithm>
#include <array>
#include <map>

namespace brindle::store {

namespace {

// Kernel, container and desktop file systems that hold nothing to browse.
constexpr std::array<std::string_view, 28> kSystemTypes = {
    "autofs",          "binfmt_misc", "bpf",         "cgroup",    "cgroup2",
    "configfs",        "debugfs",     "devpts",      "devtmpfs",  "efivarfs",
    "fuse.gvfsd-fuse", "fuse.lxcfs",  "fuse.portal", "fusectl",   "hugetlbfs",
    "mqueue",          "nsfs",        "overlay",     "proc",      "pstore",
    "ramfs",           "rpc_pipefs",  "securityfs",  "selinuxfs", "squashfs",
    "sysfs",           "tmpfs",       "tracefs"};

constexpr std::array<std::string_view, 3> kMediaFolders = {"/media", "/run/media", "/mnt"};

bool isSystemType(const std::string& type) {
    return std::find(kSystemTypes.begin(), kSystemTypes.end(), type) != kSystemTypes.end();
}

// "\040" and the other octal escapes mountinfo writes for blanks, tabs,
// line ends and backslashes.
std::string unescape(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const std::string_view digits =
            field.substr(i + 1, std::min<std::size_t>(3, field.size() - i - 1));
        const bool octal =
            field[i] == '\\' && digits.size() == 3 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; });
        if (octal) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        out.push_back(line.substr(start, end - start));
        at = end;
    }
    return out;
}

// True when path lies in folder (or is it).
bool holds(std::string_view folder, const std::string& path) {
    if (folder == "/") {
        return path.starts_with('/');
    }
    return path == folder || (path.starts_with(folder) && path[folder.size()] == '/');
}

// The mount point of the file system that holds path.
std::optional<std::string> holderOf(const std::map<std::string, MountEntry>& mounts,
                                    const std::string& path) {
    std::optional<std::string> best;
    for (const auto& [point, entry] : mounts) {
        if (holds(point, path) && (!best || point.size() > best->size())) {
            best = point;
        }
    }
    return best;
}

bool isMediaPlace(const std::string& mountPoint) {
    return std::any_of(kMediaFolders.begin(), kMediaFolders.end(),
                       [&](std::string_view folder) { return holds(folder, mountPoint); });
}

}  // namespace

std::optional<MountEntry> parseMountInfoLine(std::string_view line) {
    const std::vector<std::string_view> parts = fields(line);
    // id, parent, major:minor, root, mount point, options, optional fields,
    // "-", type, source, super options.
    const auto separator = std::find(parts.begin(), parts.end(), std::string_view("-"));
    if (parts.size() < 5 || separator == parts.end() || separator - parts.begin() < 6 ||
        separator + 1 == parts.end()) {
        return std::nullopt;
    }
    return MountEntry{unescape(parts[3]), unescape(parts[4]), std::string(*(separator + 1))};
}

std::vector<std::string> browsableMounts(std::string_view mountInfo, const BrowsingPlaces& places,
                                         const std::function<bool(const std::string&)>& isFolder) {
    // Later lines mount over earlier ones at the same point.
    std::map<std::string, MountEntry> mounts;
    std::size_t at = 0;
    while (at < mountInfo.size()) {
        const std::size_t end = std::min(mountInfo.find('\n', at), mountInfo.size());
        if (std::optional<MountEntry> entry = parseMountInfoLine(mountInfo.substr(at, end - at))) {
            mounts[entry->mountPoint] = std::move(*entry);
        }
        at = end + 1;
    }
    std::vector<std::string> chosen;
    if (mounts.contains("/")) {
        chosen.push_back("/");
    }
    const std::optional<std::string> home = holderOf(mounts, places.home);
    const std::optional<std::string> current = holderOf(mounts, places.current);
    for (const auto& [point, entry] : mounts) {
        const bool place = point == home || point == current;
        const bool media = isMediaPlace(point) && !isSystemType(entry.type);
        if (point != "/" && (place || media) && isFolder(point)) {
            chosen.push_back(point);
        }
    }
    return chosen;
}

}  // namespace brindle::store
