#pragma once
// Why this user may not open a serial device, and what to do about it.
#include <sys/stat.h>
#include <string>

namespace brindle::link {

// What a "Permission denied" advice is built from.
struct AccessFacts {
    std::string device;
    mode_t mode = 0;
    std::string owner;           // user name (or number) that owns the device
    std::string group;           // group name (or number) that owns the device
    std::string user;            // who is asking
    bool inGroupNow = false;     // the running program already has the group
    bool inGroupListed = false;  // the system lists the user in the group
};

// "Permission denied: DEV belongs to the group dialout; add yourself to it
// with \"sudo usermod -aG dialout USER\", then log out and log in again", or
// the variant for a user already listed in the group, or for a device whose
// group may not read and write it either.
std::string permissionAdvice(const AccessFacts& facts);

// Empty when this user may read and write the device; otherwise the
// system's reason, with permissionAdvice for a refused permission.
std::string accessProblem(const std::string& device);

}  // namespace brindle::link
