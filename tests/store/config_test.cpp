#include "store/config.h"

#include <gtest/gtest.h>

#include "store/remembered.h"
#include "tests/support/temp_dir.h"

using namespace brindle::store;
using brindle::testing::hexBytes;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::toHex;
using brindle::testing::writeBytes;

namespace {

class Config : public ::testing::Test {
  protected:
    void SetUp() override { config = loadConfigAtStartup(dir.path()).valueOr({}); }
    std::string file() const { return readBytes(configPath(dir.path())); }
    TempDir dir;
    ConfigRecord config;
    int16_t copy = 99;
};

}  // namespace

TEST_F(Config, startupInAnEmptyFolderWritesTheDefaults) {
    EXPECT_EQ(toHex(file()), toHex(ConfigRecord{}.encode()));
    EXPECT_EQ(file().size(), 43u);
    EXPECT_EQ(config.PortNumber, 1);
    EXPECT_EQ(config.BaudRate, 38400);
}

TEST_F(Config, startupReadsAnExistingRecordAndKeepsLongerFilesAsTheyAre) {
    std::string bytes = hexBytes("02 00 C0 12 00 00") + std::string(31, 'r') +
                        hexBytes("05 00 00 00 06 00") + "tail";
    writeBytes(configPath(dir.path()), bytes);
    ConfigRecord r = loadConfigAtStartup(dir.path()).valueOr({});
    EXPECT_EQ(r.PortNumber, 2);
    EXPECT_EQ(r.BaudRate, 4800);
    EXPECT_EQ(r.ReadDelayMs, 5);
    EXPECT_EQ(r.WriteDelayMs, 6);
    EXPECT_EQ(file(), bytes);
}

TEST_F(Config, startupRewritesAFileShorterThanOneRecordWithTheDefaults) {
    writeBytes(configPath(dir.path()), "abc");
    ConfigRecord r = loadConfigAtStartup(dir.path()).valueOr({});
    EXPECT_EQ(r.BaudRate, 38400);
    EXPECT_EQ(file(), ConfigRecord{}.encode());
}

TEST_F(Config, typingADelayChangesOnlyItsTwoBytes) {
    std::string before = file();
    ASSERT_TRUE(storeDelay(dir.path(), config, DelayField::Write, "7", copy));
    std::string after = file();
    ASSERT_EQ(after.size(), 43u);
    EXPECT_EQ(toHex(after.substr(41, 2)), "07 00");
    EXPECT_EQ(after.substr(0, 41), before.substr(0, 41));
    EXPECT_EQ(copy, 7);
    EXPECT_EQ(config.WriteDelayMs, 7);
}

TEST_F(Config, delayTextsAreReadAsNumbers) {
    struct Case {
        const char* text;
        const char* bytes;
    };
    for (Case c :
         {Case{"abc", "00 00"}, Case{"2.5", "02 00"}, Case{"-3", "FD FF"}, Case{"7ms", "07 00"},
          Case{"", "00 00"}, Case{"10", "0A 00"}, Case{"3.5", "04 00"}}) {
        ASSERT_TRUE(storeDelay(dir.path(), config, DelayField::Read, c.text, copy)) << c.text;
        EXPECT_EQ(toHex(file().substr(37, 2)), c.bytes) << c.text;
        EXPECT_EQ(file().size(), 43u);
    }
}

TEST_F(Config, anOutOfRangeDelayIsRefusedAndNothingChanges) {
    ASSERT_TRUE(storeDelay(dir.path(), config, DelayField::Write, "9", copy));
    const std::string before = file();
    auto status = storeDelay(dir.path(), config, DelayField::Write, "40000", copy);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("40000"), std::string::npos);
    EXPECT_EQ(file(), before);
    EXPECT_EQ(copy, 9);
    EXPECT_EQ(config.WriteDelayMs, 9);
}

TEST_F(Config, writersStartFromTheRecordOnDisk) {
    std::string bytes = file();
    bytes[10] = 'K';  // inside the reserved text
    writeBytes(configPath(dir.path()), bytes);
    int16_t readCopy = 0;
    int16_t writeCopy = 0;
    ASSERT_TRUE(storePort(dir.path(), config, 3, readCopy, writeCopy));
    EXPECT_EQ(file()[10], 'K');
    EXPECT_EQ(toHex(file().substr(0, 2)), "03 00");
    ASSERT_TRUE(storeBaud(dir.path(), config, "57600", readCopy, writeCopy));
    EXPECT_EQ(toHex(file().substr(2, 4)), "00 E1 00 00");
    EXPECT_EQ(readCopy, 1);
    EXPECT_EQ(writeCopy, 1);
    EXPECT_EQ(file().size(), 43u);
}

TEST(Remembered, firstWriteStoresTheValueTwiceThenOnlyRecordTwo) {
    TempDir dir;
    const std::string path = dir.file("Lastpath.dat");
    ASSERT_TRUE(writeRememberedPath(path, "/home/user"));
    std::string bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 120u);
    EXPECT_EQ(bytes.substr(0, 60), bytes.substr(60));
    ASSERT_TRUE(writeRememberedPath(path, std::string(61, 'p')));
    bytes = readBytes(path);
    EXPECT_EQ(bytes.substr(0, 10), "/home/user");
    EXPECT_EQ(bytes.substr(60), std::string(60, 'p'));
    EXPECT_EQ(readRememberedPath(path), std::string(60, 'p'));

    const std::string drive = dir.file("LastDrive.dat");
    EXPECT_EQ(readRememberedPosition(drive), std::nullopt);
    ASSERT_TRUE(writeRememberedPosition(drive, -1));
    EXPECT_EQ(toHex(readBytes(drive)), "FF FF FF FF");
    EXPECT_EQ(readRememberedPosition(drive), -1);
}
