// Which device a Com stands for, the by-id names of USB adapters, the lock
// that keeps a device to one program whatever name it is opened by, and the
// advice for a device this user may not open.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/com_port.h"
#include "link/device_lock.h"
#include "link/port_access.h"
#include "link/serial_ports.h"
#include "tests/support/temp_dir.h"

namespace brindle::link {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

TEST(ComChoice, noChoiceKeepsTheRuleTheFolderChoiceAndAPathAreTakenAsTheyAre) {
    TempDir dir;
    EXPECT_EQ(resolveComPort(dir.path(), 3, ""), "/dev/ttyS2");
    // Chosen, so named even while it does not exist: the open says so.
    EXPECT_EQ(resolveComPort(dir.path(), 3, "program-folder"), dir.file("com3"));
    EXPECT_EQ(resolveComPort(dir.path(), 3, "/dev/serial/by-id/usb-A"), "/dev/serial/by-id/usb-A");
    EXPECT_EQ(resolveComPort(dir.path(), 0, "/dev/ttyUSB0"), "");
    EXPECT_EQ(comChoice({"a", "b", "c", "d"}, 4), "d");
    EXPECT_EQ(comChoice({"a", "b", "c", "d"}, 5), "");
}

TEST(ById, aDeviceIsFoundByItsLinkAndABareNameIsLookedUpInTheFolder) {
    TempDir dir;
    fs::create_directory(dir.file("by-id"));
    std::ofstream(dir.file("ttyUSB3")) << "";
    fs::create_symlink("../ttyUSB3", dir.file("by-id/usb-Maker_A1-if00"));
    fs::create_symlink(dir.file("ttyUSB3"), dir.file("com1"));
    const std::string folder = dir.file("by-id");
    const std::string byId = folder + "/usb-Maker_A1-if00";
    EXPECT_EQ(byIdName(dir.file("ttyUSB3"), folder), byId);
    EXPECT_EQ(byIdName(dir.file("com1"), folder), byId);  // through another link
    EXPECT_EQ(byIdName(dir.file("by-id"), folder), "");
    EXPECT_EQ(byIdName(dir.file("missing"), folder), "");
    EXPECT_EQ(byIdName(dir.file("ttyUSB3"), dir.file("no-folder")), "");

    EXPECT_EQ(portArgument("usb-Maker_A1-if00", folder), byId);
    EXPECT_EQ(portArgument("usb-Other", folder), "usb-Other");
    EXPECT_EQ(portArgument("/dev/ttyUSB0", folder), "/dev/ttyUSB0");

    SerialPortEntry entry{dir.file("ttyUSB3"), byId, "", "", "", 0x0403, 0x6001};
    EXPECT_EQ(usbIdText(entry), "0403:6001");
    EXPECT_TRUE(entryMatches(entry, dir.file("com1")));
    EXPECT_FALSE(entryMatches(entry, ""));
    entry.productId.reset();
    EXPECT_EQ(usbIdText(entry), "");
}

TEST(DeviceLock, aSecondNameOfTheSameDeviceIsRefusedWithTheHoldersPid) {
    TempDir dir;
    fs::create_symlink("/dev/null", dir.file("com1"));
    const std::string folder = dir.path();
    auto first = DeviceLock::acquire("/dev/null", folder);
    ASSERT_TRUE(first.ok()) << first.message();
    EXPECT_EQ(first->file(), folder + "/LK.001.003");  // /dev/null is 1:3
    // Ten characters and a line feed, as the usual lock files hold a pid.
    char expected[16];
    std::snprintf(expected, sizeof expected, "%10d\n", static_cast<int>(::getpid()));
    EXPECT_EQ(testing::readBytes(first->file()), expected);
    EXPECT_EQ(lockFilePid(first->file()), ::getpid());

    auto second = DeviceLock::acquire(dir.file("com1"), folder);
    ASSERT_FALSE(second.ok());
    EXPECT_EQ(second.message(), "the port " + dir.file("com1") +
                                    " is in use by another program (process " +
                                    std::to_string(::getpid()) + ")");
    first->release();
    EXPECT_FALSE(fs::exists(folder + "/LK.001.003"));
    EXPECT_TRUE(DeviceLock::acquire(dir.file("com1"), folder).ok());
}

TEST(DeviceLock, aLockFileOfADeadProgramIsTakenOverOneOfALiveProgramIsHonoured) {
    TempDir dir;
    const pid_t child = ::fork();
    if (child == 0) {
        std::_Exit(0);
    }
    ::waitpid(child, nullptr, 0);
    const std::string file = dir.file("LK.001.003");
    testing::writeBytes(file, "     " + std::to_string(child) + "\n");
    auto taken = DeviceLock::acquire("/dev/null", dir.path());
    ASSERT_TRUE(taken.ok()) << taken.message();
    taken->release();

    // Pid 1 lives; its program honours the file but takes no flock.
    testing::writeBytes(file, "         1\n");
    auto refused = DeviceLock::acquire("/dev/null", dir.path());
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "the port /dev/null is in use by another program (process 1)");
}

TEST(DeviceLock, identityNamesAndPidsOfLockFiles) {
    EXPECT_EQ(identityLockName(makedev(188, 0)), "LK.188.000");
    EXPECT_EQ(identityLockName(makedev(136, 1234)), "LK.136.1234");
    TempDir dir;
    for (const auto& [text, pid] : std::vector<std::pair<std::string, long>>{
             {"      4242\n", 4242}, {"4242\nbrindle\n", 4242}, {"", 0}, {"abc", 0}, {"0\n", 0}}) {
        testing::writeBytes(dir.file("LCK..x"), text);
        EXPECT_EQ(lockFilePid(dir.file("LCK..x")).value_or(0), pid) << text;
    }
}

TEST(DeviceLock, aSecondDescriptorOfOneTerminalIsRefused) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    const int one = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    const int two = ::open(slave.c_str(), O_RDWR | O_NOCTTY);  // the superuser passes TIOCEXCL
    ASSERT_GE(one, 0);
    EXPECT_TRUE(lockDescriptor(one, slave).ok());
    if (two >= 0) {
        const base::Status refused = lockDescriptor(two, "com1");
        EXPECT_EQ(refused.message(), "the port com1 is in use by another program");
        ::close(two);
    }
    ::close(one);
    ::close(master);
}

TEST(PortAccess, permissionDeniedNamesTheGroupAndTheCommandThatAddsTheUser) {
    struct Case {
        mode_t mode;
        bool now;
        bool listed;
        std::string text;
    };
    const std::string head = "Permission denied: /dev/ttyUSB0";
    for (const Case& c : std::vector<Case>{
             {0660, false, false,
              head + " belongs to the group dialout; add ann to it with \"sudo usermod -aG "
                     "dialout ann\", then log out and log in again"},
             {0660, false, true,
              head + " belongs to the group dialout; ann was added to it after logging in: "
                     "log out and log in again"},
             {0600, false, false,
              head + " (owner root, group dialout) may not be read and written by its group; "
                     "ask the system's administrator to give the group dialout read and write "
                     "access (a udev rule), or to use the port for you"},
         }) {
        EXPECT_EQ(
            permissionAdvice({"/dev/ttyUSB0", c.mode, "root", "dialout", "ann", c.now, c.listed}),
            c.text);
    }
}

TEST(PortAccess, aDeviceThisUserMayUseHasNoProblemAMissingOneHasTheSystemsReason) {
    EXPECT_EQ(accessProblem("/dev/null"), "");
    EXPECT_EQ(accessProblem("/no/such/device"), "No such file or directory");
}

}  // namespace
}  // namespace brindle::link
