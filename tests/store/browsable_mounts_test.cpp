// The drive list's choice of file systems over mountinfo text: a desktop
// with media and a container full of system and bound-in mounts.
#include "store/browsable_mounts.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using brindle::store::browsableMounts;
using brindle::store::BrowsingPlaces;
using brindle::store::MountEntry;
using brindle::store::parseMountInfoLine;
using Points = std::vector<std::string>;

// Mount points that are files, not folders (bound in by a container).
const std::set<std::string> kFiles = {"/etc/hosts", "/etc/resolv.conf", "/mnt/app.conf"};

bool isFolder(const std::string& path) {
    return !kFiles.contains(path);
}

const char* const kDesktop =
    "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
    "23 1 0:22 / /sys rw,nosuid shared:7 - sysfs sysfs rw\n"
    "24 1 0:5 / /dev rw,nosuid shared:2 - devtmpfs udev rw,size=8k\n"
    "25 24 0:23 / /dev/pts rw - devpts devpts rw,gid=5\n"
    "26 1 0:24 / /run rw,nosuid shared:5 - tmpfs tmpfs rw,size=1640k\n"
    "27 1 259:2 /@ / rw,relatime shared:1 - btrfs /dev/nvme0n1p2 rw,subvol=/@\n"
    "28 24 0:25 / /dev/shm rw shared:4 - tmpfs tmpfs rw\n"
    "29 23 0:26 / /sys/fs/cgroup rw shared:9 - cgroup2 cgroup2 rw\n"
    "30 1 259:2 /@home /home rw,relatime shared:30 - btrfs /dev/nvme0n1p2 rw,subvol=/@home\n"
    "31 1 7:1 / /snap/core/1 ro,nodev shared:31 - squashfs /dev/loop1 ro\n"
    "32 26 0:27 / /run/user/1000 rw shared:32 - tmpfs tmpfs rw,mode=700\n"
    "33 32 0:28 / /run/user/1000/gvfs rw shared:33 - fuse.gvfsd-fuse gvfsd-fuse rw\n"
    "34 26 8:17 / /run/media/ann/MY\\040STICK rw shared:34 - vfat /dev/sdb1 rw\n"
    "35 1 8:33 / /media/cdrom ro shared:35 - iso9660 /dev/sr0 ro\n"
    "36 1 0:40 / /mnt/nas rw shared:36 - nfs4 nas:/share rw\n"
    "37 1 0:41 / /mnt/scratch rw shared:37 - tmpfs tmpfs rw\n"
    "38 22 0:42 / /proc/sys/fs/binfmt_misc rw - autofs systemd-1 rw\n"
    "39 1 8:2 / /srv/data rw shared:39 - ext4 /dev/sda2 rw\n";

const char* const kContainer =
    "600 500 0:50 / / rw,relatime - overlay overlay rw,lowerdir=/l,upperdir=/u\n"
    "601 600 0:51 / /proc rw - proc proc rw\n"
    "602 600 0:52 / /dev rw - tmpfs tmpfs rw,size=65536k\n"
    "603 602 0:53 / /dev/pts rw - devpts devpts rw\n"
    "604 602 0:54 / /dev/mqueue rw - mqueue mqueue rw\n"
    "605 600 0:55 / /sys ro - sysfs sysfs ro\n"
    "606 605 0:26 / /sys/fs/cgroup ro - cgroup2 cgroup rw\n"
    "607 600 254:1 /docker/containers/ab/resolv.conf /etc/resolv.conf rw - ext4 /dev/vda1 rw\n"
    "608 600 254:1 /docker/containers/ab/hosts /etc/hosts rw - ext4 /dev/vda1 rw\n"
    "609 600 254:1 /srv/work /work rw - ext4 /dev/vda1 rw\n"
    "610 600 254:1 /srv/app.conf /mnt/app.conf ro - ext4 /dev/vda1 rw\n"
    "611 602 0:56 / /dev/shm rw - tmpfs shm rw,size=65536k\n";

struct Case {
    const char* name;
    const char* mountInfo;
    BrowsingPlaces places;
    Points expected;
};

class BrowsableMounts : public ::testing::TestWithParam<Case> {};

TEST_P(BrowsableMounts, offersOnlyWhatAUserBrowses) {
    const Case& c = GetParam();
    EXPECT_EQ(browsableMounts(c.mountInfo, c.places, isFolder), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BrowsableMounts,
    ::testing::Values(Case{"desktop",
                           kDesktop,
                           {"/home/ann", "/home/ann/macros"},
                           {"/", "/home", "/media/cdrom", "/mnt/nas", "/run/media/ann/MY STICK"}},
                      // Started from a folder on a file system of its own: that one too.
                      Case{"currentFolderElsewhere",
                           kDesktop,
                           {"/home/ann", "/srv/data/zrt"},
                           {"/", "/home", "/media/cdrom", "/mnt/nas", "/run/media/ann/MY STICK",
                            "/srv/data"}},
                      // A home on the root's file system adds nothing; "/srv" is no "/srv/data".
                      Case{"homeOnTheRoot",
                           kDesktop,
                           {"/root", "/srv/database"},
                           {"/", "/media/cdrom", "/mnt/nas", "/run/media/ann/MY STICK"}},
                      Case{"container", kContainer, {"/root", "/work/wt"}, {"/", "/work"}},
                      Case{"containerFromTheRoot", kContainer, {"/root", "/"}, {"/"}},
                      Case{"empty", "", {"/root", "/"}, {}},
                      // A later mount at the same point hides the earlier one.
                      Case{"mountedOver",
                           "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                           "2 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
                           "3 1 0:30 / /media/usb rw - tmpfs tmpfs rw\n"
                           "4 1 8:18 / /mnt rw - exfat /dev/sdb2 rw\n"
                           "not a mountinfo line\n",
                           {"/root", "/"},
                           {"/", "/mnt"}}),
    [](const ::testing::TestParamInfo<Case>& testCase) {
        return std::string(testCase.param.name);
    });

TEST(MountInfoLine, readsTheFieldsAroundTheOptionalOnes) {
    EXPECT_EQ(parseMountInfoLine("36 35 98:0 /mnt1 /mnt/a\\040b\\134c rw,noatime master:1 "
                                 "shared:2 - ext3 /dev/root rw,errors=continue"),
              (MountEntry{"/mnt1", "/mnt/a b\\c", "ext3"}));
    // Cut short before the type, and a backslash without three octal digits.
    EXPECT_EQ(parseMountInfoLine("36 35 98:0 / /x rw -"), std::nullopt);
    EXPECT_EQ(parseMountInfoLine("1 0 0:1 / /a\\9 rw - ext4 x rw")->mountPoint, "/a\\9");
}

}  // namespace
