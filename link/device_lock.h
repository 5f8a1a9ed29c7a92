#pragma once
// One program at a time on a serial device, whatever name it is opened by.
// Three locks, all keyed by the device rather than the name given:
// - an identity lock file "LK.<major>.<minor>" of the device number in the
//   system's lock folder, holding the owner's pid (ten characters and a line
//   feed, as the usual "LCK.." files do) and an flock while it is held, so a
//   lock left by a program that died never blocks;
// - TIOCEXCL on the open descriptor, which makes the kernel refuse further
//   opens to anyone but the superuser;
// - an flock on the open descriptor, which binds the superuser as well.
// The usual "LCK..<name>" file is taken by the serial port itself under the
// device's real name (see qt_serial_port.cpp).
#include <sys/types.h>
#include <optional>
#include <string>

#include "base/status.h"

namespace brindle::link {

// Where the identity locks live: /run/lock, else /var/lock, else /tmp (the
// first folder that exists and this user may write in).
std::string lockFolder();

// "LK.188.000": the identity lock's file name for a device number.
std::string identityLockName(dev_t device);

// "the port DEV is in use by another program", with "(process N)" when the
// pid of the holder is known.
std::string inUseMessage(const std::string& device, std::optional<long> pid);

// The pid a lock file names (decimal digits after optional blanks), or
// nothing when it is absent, unreadable or names no pid.
std::optional<long> lockFilePid(const std::string& path);

class DeviceLock {
  public:
    DeviceLock() = default;
    ~DeviceLock() { release(); }
    DeviceLock(DeviceLock&& other) noexcept;
    DeviceLock& operator=(DeviceLock&& other) noexcept;
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    // Takes the identity lock of the character device at path (links are
    // followed). A holder that is alive refuses with inUseMessage(path).
    // A lock folder this user may not write in leaves the lock untaken but
    // is no failure: the descriptor's locks still hold.
    static base::Result<DeviceLock> acquire(const std::string& path,
                                            const std::string& folder = lockFolder());

    bool held() const { return m_fd >= 0; }
    const std::string& file() const { return m_file; }
    // Removes the lock file and lets the lock go.
    void release();

  private:
    int m_fd = -1;
    std::string m_file;
};

// Exclusive use of an open terminal: TIOCEXCL, then an flock on the open
// descriptor; a descriptor another program holds so refuses with
// inUseMessage(device).
base::Status lockDescriptor(int fd, const std::string& device);

}  // namespace brindle::link
