// Files that are not what a record file should be: pipes, folders, and files
// longer than the formats allow. None of them may block, be read in part or be
// written over.
#include "store/record_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "store/databases.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle::store;
using brindle::testing::readBytes;
using brindle::testing::TempDir;

namespace {

// A sparse file of the given number of whole records (only the last byte
// written), or false where the file system cannot hold one that long.
bool makeSparse(const std::string& path, int64_t records, std::size_t length) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    const bool ok =
        fd >= 0 && ::ftruncate(fd, static_cast<off_t>(records) * static_cast<off_t>(length)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return ok;
}

class RecordFile : public ::testing::Test {
  protected:
    TempDir dir;
};

}  // namespace

TEST_F(RecordFile, aPipeInTheDatabasesPlaceNeverBlocksAndIsNeverWritten) {
    ASSERT_EQ(::mkfifo(macroDbPath(dir.path()).c_str(), 0644), 0);
    auto count = countRecords(macroDbPath(dir.path()), kMacroRecordLength);
    ASSERT_FALSE(count.ok());
    EXPECT_NE(count.message().find("not a regular file"), std::string::npos);
    EXPECT_FALSE(readRecord(macroDbPath(dir.path()), kMacroRecordLength, 1).has_value());
    MacroRecord record;
    EXPECT_FALSE(writeMacro(dir.path(), 1, record).ok());
    EXPECT_TRUE(listMacroNames(dir.path(), record).empty());
}

TEST_F(RecordFile, aFolderInTheDatabasesPlaceIsRefused) {
    std::filesystem::create_directory(comboDbPath(dir.path()));
    EXPECT_FALSE(countRecords(comboDbPath(dir.path()), kComboRecordLength).ok());
    EXPECT_FALSE(FindCombo(dir.path(), "ANY").has_value());
    EXPECT_FALSE(writeCombo(dir.path(), 1, ComboRecord{}).ok());
}

TEST_F(RecordFile, aFileBeyondTheRecordLimitIsRefusedAndNeverWrittenOver) {
    const std::string path = comboDbPath(dir.path());
    ASSERT_TRUE(makeSparse(path, 32768, kComboRecordLength));
    auto count = countRecords(path, kComboRecordLength);
    ASSERT_FALSE(count.ok());
    EXPECT_NE(count.message().find("32768"), std::string::npos);
    // A caller that counted no records would write record 1: refused.
    EXPECT_FALSE(writeCombo(dir.path(), 1, ComboRecord{}).ok());
    EXPECT_EQ(std::filesystem::file_size(path), 32768u * kComboRecordLength);
}

TEST_F(RecordFile, theLastRecordTheFormatsAllowCanBeWrittenButNotTheOneAfter) {
    const std::string path = macroDbPath(dir.path());
    ASSERT_TRUE(makeSparse(path, 32766, kMacroRecordLength));
    EXPECT_EQ(countRecords(path, kMacroRecordLength).valueOr(-1), 32766);
    MacroRecord record;
    record.Name = "LAST";
    EXPECT_TRUE(writeMacro(dir.path(), 32767, record).ok());
    EXPECT_FALSE(writeMacro(dir.path(), 32768, record).ok());
    EXPECT_EQ(macroCount(dir.path()), 32767);
    EXPECT_EQ(FindMacro(dir.path(), "LAST", record), 32767);
}

TEST_F(RecordFile, aCountBeyondThirtyTwoBitsDoesNotWrapToSomethingSmall) {
    const std::string path = comboDbPath(dir.path());
    // 2^32 + 3 records: a 32-bit count would wrap to 3.
    if (!makeSparse(path, (int64_t{1} << 32) + 3, kComboRecordLength)) {
        GTEST_SKIP() << "the file system cannot hold a file that long";
    }
    auto count = countRecords(path, kComboRecordLength);
    ASSERT_FALSE(count.ok());
    EXPECT_NE(count.message().find("4294967299"), std::string::npos);
}
