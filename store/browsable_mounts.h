#pragma once
// Which mounted file systems the Setup browser's drive list offers: the ones
// a user browses, never the system's own (proc, sysfs, cgroup, devpts,
// overlay layers, tmpfs under /run or /dev, files bound into a container).
// Works on the text of /proc/self/mountinfo, so that it can be checked with
// fixed tables.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::store {

// The fields of one mountinfo line the choice needs, with the octal escapes
// of the paths (\040 for a blank) undone.
struct MountEntry {
    std::string root;        // the folder of the file system mounted here
    std::string mountPoint;  // where it is mounted
    std::string type;        // the file system type
    bool operator==(const MountEntry&) const = default;
};

// Nothing for a line without the fields of the format.
std::optional<MountEntry> parseMountInfoLine(std::string_view line);

struct BrowsingPlaces {
    std::string home;     // the user's home folder
    std::string current;  // the process's current folder
};

// Mount points, "/" first, then in path order, each once: the root; the
// file systems that hold the home and the current folder; removable and
// mounted media (under /media, /run/media or /mnt) of a real file system
// type. A mount hidden by a later one at the same point counts as the later
// one; a mount point that is not a folder (a file bound in) is never offered.
std::vector<std::string> browsableMounts(std::string_view mountInfo, const BrowsingPlaces& places,
                                         const std::function<bool(const std::string&)>& isFolder);

}  // namespace brindle::store
