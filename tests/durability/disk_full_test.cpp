// Every write path on a disk that takes no more: brindle-cli, and
// brindle-file-writer for the files no command writes, run with a file-size
// limit (SIGXFSZ ignored, so a write past it fails with EFBIG as on a full
// disk), in a small tmpfs that fills up, and in a read-only folder. Each
// refuses with a message that gives the system's reason, exits 1 and leaves
// every file as it was, with no journal or temporary file behind.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/records.h"
#include "tests/support/child_process.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::ChildOptions;
using brindle::testing::ChildResult;
using brindle::testing::readBytes;
using brindle::testing::runChild;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

constexpr long kMacro = static_cast<long>(store::kMacroRecordLength);
constexpr long kCombo = static_cast<long>(store::kComboRecordLength);

// Three macros, the second and third with texts long enough to matter, and
// two combinations; every file a write path may touch.
void buildLibrary(const std::string& dir) {
    brindle::testing::addMacro(dir, "A", "1 MA 0\r\nMACRO 1");
    brindle::testing::addMacro(dir, "B", std::string(9000, 'b') + "\r\nMACRO 2");
    brindle::testing::addMacro(dir, "C", "MACRO 3");
    brindle::testing::addCombo(dir, "X", {{0, 1}, {1, 2}}, 65, 1);
    brindle::testing::addCombo(dir, "Y", {{0, 2}, {1, 3}, {2, 1}}, 66, 2);
    writeBytes(dir + "ZrtCfg.Dat", std::string(43, '\x07') + "tail");
    writeBytes(dir + "helpmacro.rtf", "{\\rtf1 Help}");
    writeBytes(dir + "saved.txt", "READ BACK\r\n");
}

// Every file in the folder and its bytes. The empty lock file, which the
// first write of a folder creates whatever comes of it, is left out.
std::map<std::string, std::string> folderContents(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().string().substr(dir.size());
        const std::string bytes = entry.is_regular_file() ? readBytes(entry.path().string()) : "";
        if (entry.is_regular_file() &&
            !(entry.path().filename() == "Library.Lck" && bytes.empty())) {
            files[name] = bytes;
        }
    }
    return files;
}

// The names of the files that differ, for a readable failure.
std::string differences(const std::map<std::string, std::string>& a,
                        const std::map<std::string, std::string>& b) {
    std::string names;
    for (const auto& [name, bytes] : a) {
        auto it = b.find(name);
        if (it == b.end()) {
            names += " -" + name;
        } else if (it->second != bytes) {
            names += " ~" + name;
        }
    }
    for (const auto& [name, bytes] : b) {
        if (a.count(name) == 0) {
            names += " +" + name;
        }
    }
    return names;
}

struct WritePath {
    const char* name;
    std::vector<std::string> words;  // "@" stands for the data folder
    std::string input;
    // Limits at which the write cannot complete: nothing fits, and the limits
    // that let it begin (its journal fits) and stop part way.
    std::vector<long> limits;
    const char* program = BRINDLE_CLI_PATH;
};

const std::vector<WritePath>& writePaths() {
    static const std::vector<WritePath> paths = {
        // An append: the journal fits under the end of the file, the record not.
        {"add-macro appends",
         {"add-macro", "--data", "@", "NEW"},
         "MACRO 9",
         {0, 3 * kMacro, 3 * kMacro + kMacro / 2}},
        // An overwrite in place of record 2, stopped half way through it.
        {"add-macro replaces",
         {"add-macro", "--data", "@", "B"},
         "MACRO 8",
         {0, kMacro + kMacro / 2}},
        {"add-combo appends",
         {"add-combo", "--data", "@", "Z", "A", "C"},
         "",
         {0, 2 * kCombo, 2 * kCombo + kCombo / 2}},
        {"add-combo replaces",
         {"add-combo", "--data", "@", "Y", "C"},
         "",
         {0, kCombo + kCombo / 2}},
        {"delete-macro", {"delete-macro", "--data", "@", "B"}, "", {0, kMacro + kMacro / 2}},
        {"delete-combo", {"delete-combo", "--data", "@", "X"}, "", {0, kCombo / 2}},
        {"insert", {"insert", "--data", "@", "Y", "A", "--after", "1"}, "", {0, kCombo + 200}},
        {"unlink", {"unlink", "--data", "@", "Y", "1"}, "", {0, kCombo + 200}},
        {"export", {"export", "--data", "@", "@export"}, "", {0, 100}},
        {"config-startup", {"config-startup", "@empty/"}, "", {0, 20}, BRINDLE_FILE_WRITER_PATH},
        {"config-delay", {"config-delay", "@", "9"}, "", {0, 20}, BRINDLE_FILE_WRITER_PATH},
        {"config-port", {"config-port", "@", "2"}, "", {0}, BRINDLE_FILE_WRITER_PATH},
        {"config-baud", {"config-baud", "@", "9600"}, "", {0}, BRINDLE_FILE_WRITER_PATH},
        {"help", {"help", "@helpmacro.rtf", "New help"}, "", {0, 10}, BRINDLE_FILE_WRITER_PATH},
        {"save-to-file",
         {"save-to-file", "@saved.txt", "NEW TEXT\r\n"},
         "",
         {0, 4},
         BRINDLE_FILE_WRITER_PATH},
    };
    return paths;
}

std::vector<std::string> argv(const WritePath& path, const std::string& dir) {
    std::vector<std::string> words = {path.program};
    for (const std::string& w : path.words) {
        words.push_back(w.rfind('@', 0) == 0 ? dir + w.substr(1) : w);
    }
    return words;
}

// Checks one refused write: exit 1, the reason, the folder unchanged.
void expectRefused(const ChildResult& r, const std::string& reason, const std::string& dir,
                   const std::map<std::string, std::string>& before, const std::string& what) {
    EXPECT_EQ(r.status, 1) << what << ": " << r.err;
    EXPECT_NE(r.err.find(reason), std::string::npos) << what << ": " << r.err;
    EXPECT_EQ(differences(before, folderContents(dir)), "") << what;
}

}  // namespace

TEST(DiskFull, everyWritePathRefusesPastAFileSizeLimitAndLeavesEveryFile) {
    for (const WritePath& path : writePaths()) {
        for (long limit : path.limits) {
            TempDir dir;
            buildLibrary(dir.path());
            std::filesystem::create_directory(dir.file("empty"));
            const auto before = folderContents(dir.path());
            ChildOptions options;
            options.input = path.input;
            options.fileSizeLimit = limit;
            const ChildResult r = runChild(argv(path, dir.path()), options);
            expectRefused(r, "File too large", dir.path(), before,
                          std::string(path.name) + " at " + std::to_string(limit));
        }
    }
}

TEST(DiskFull, importRefusesPastAFileSizeLimitAndLeavesTheEmptyLibrary) {
    TempDir source;
    buildLibrary(source.path());
    TempDir exported;
    ASSERT_EQ(
        runChild({BRINDLE_CLI_PATH, "export", "--data", source.path(), exported.file("x")}).status,
        0);
    for (long limit : {0L, kMacro / 2, 2 * kMacro}) {
        TempDir dir;
        const auto before = folderContents(dir.path());
        ChildOptions options;
        options.fileSizeLimit = limit;
        const ChildResult r = runChild(
            {BRINDLE_CLI_PATH, "import", "--data", dir.path(), exported.file("x")}, options);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
        // Opening the library may create its empty files and the lock file;
        // it holds no record, and nothing staged is left.
        for (const auto& [name, bytes] : folderContents(dir.path())) {
            EXPECT_EQ(bytes, "") << name << " at " << limit;
            EXPECT_TRUE(name == "MacroDb.Dat" || name == "ComboDb.Dat" || name == "Library.Lck")
                << name;
        }
        (void)before;
    }
}

// The tests below need a mount namespace of their own (root, and a system
// that allows it); elsewhere they are skipped.
class OwnMounts : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            GTEST_SKIP() << "no mount namespace here: " << std::strerror(errno);
        }
    }
};

TEST_F(OwnMounts, aFullFileSystemStopsAddsWithTheReasonAndLosesNothing) {
    TempDir dir;
    ASSERT_EQ(::mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=96k"), 0)
        << std::strerror(errno);
    int added = 0;
    for (;; ++added) {
        const auto before = folderContents(dir.path());
        ChildOptions options;
        options.input = "MACRO 1";
        const ChildResult r = runChild(
            {BRINDLE_CLI_PATH, "add-macro", "--data", dir.path(), "M" + std::to_string(added)},
            options);
        if (r.status != 0) {
            expectRefused(r, "No space left on device", dir.path(), before, "add-macro");
            break;
        }
        ASSERT_LT(added, 10) << "the file system never filled up";
    }
    EXPECT_GE(added, 1);
    ::umount(dir.path().c_str());
}

TEST_F(OwnMounts, aReadOnlyFolderRefusesEveryWriteWithTheReason) {
    TempDir dir;
    buildLibrary(dir.path());
    std::filesystem::create_directory(dir.file("empty"));
    const auto before = folderContents(dir.path());
    ASSERT_EQ(::mount(dir.path().c_str(), dir.path().c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(
        ::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
    for (const WritePath& path : writePaths()) {
        ChildOptions options;
        options.input = path.input;
        const ChildResult r = runChild(argv(path, dir.path()), options);
        expectRefused(r, "Read-only file system", dir.path(), before, path.name);
    }
    ::umount(dir.path().c_str());
}
