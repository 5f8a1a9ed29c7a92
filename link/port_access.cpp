#include "link/port_access.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace brindle::link {

namespace {

std::string userName(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    return entry != nullptr ? entry->pw_name : std::to_string(uid);
}

std::string groupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry != nullptr ? entry->gr_name : std::to_string(gid);
}

bool hasGroupNow(gid_t gid) {
    if (::getegid() == gid) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0 && ::getgroups(count, groups.data()) == count) {
        for (gid_t g : groups) {
            if (g == gid) {
                return true;
            }
        }
    }
    return false;
}

// The groups the system lists for the user: what a new login would get.
bool listedInGroup(uid_t uid, gid_t gid) {
    const passwd* entry = ::getpwuid(uid);
    if (entry == nullptr) {
        return false;
    }
    const gid_t primary = entry->pw_gid;
    const std::string name = entry->pw_name;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(name.c_str(), primary, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(name.c_str(), primary, groups.data(), &count) < 0) {
            return false;
        }
    }
    groups.resize(static_cast<std::size_t>(count));
    for (gid_t g : groups) {
        if (g == gid) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string permissionAdvice(const AccessFacts& f) {
    std::string text = "Permission denied: " + f.device;
    const bool groupMayUse = (f.mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!groupMayUse) {
        return text + " (owner " + f.owner + ", group " + f.group +
               ") may not be read and written by its group; ask the system's administrator "
               "to give the group " +
               f.group + " read and write access (a udev rule), or to use the port for you";
    }
    text += " belongs to the group " + f.group;
    if (f.inGroupNow) {
        return text + "; ask the system's administrator why the group may not open it";
    }
    if (f.inGroupListed) {
        return text + "; " + f.user + " was added to it after logging in: log out and log in again";
    }
    return text + "; add " + f.user + " to it with \"sudo usermod -aG " + f.group + " " + f.user +
           "\", then log out and log in again";
}

std::string accessProblem(const std::string& device) {
    if (::access(device.c_str(), R_OK | W_OK) == 0) {
        return {};
    }
    const int err = errno;
    struct stat info {};
    if (err != EACCES || ::stat(device.c_str(), &info) != 0) {
        return std::strerror(err);
    }
    const uid_t uid = ::getuid();
    return permissionAdvice({device, info.st_mode, userName(info.st_uid), groupName(info.st_gid),
                             userName(uid), hasGroupNow(info.st_gid),
                             listedInGroup(uid, info.st_gid)});
}

}  // namespace brindle::link
