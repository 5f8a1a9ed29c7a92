#include "contents/backup_file.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using contents::ModuleContents;

namespace {

// Node 9, boot macro 5, 3 macros, complete.
ModuleContents smallBackup() {
    ModuleContents c;
    c.set(0, 9);
    c.set(1, 5);
    c.set(2, 3);
    c.set(3, 'X');
    return c;
}

TEST(IntelHex, writesKnownBytesInRecordsOfOneRowAndTheEndRecord) {
    ModuleContents c = smallBackup();
    // 21 bytes from 0x0E02: they cross the row boundary at 0x0E10.
    for (int i = 0; i < 21; ++i) {
        c.set(3586 + i, static_cast<uint8_t>('a' + i));
    }
    const std::string hex = contents::toIntelHex(c);
    // Sum 04 + 09 + 05 + 03 + 58 = 6D, so the checksum is 93.
    EXPECT_EQ(hex.substr(0, 21), ":040000000905035893\r\n");
    const std::string second = hex.substr(21);
    EXPECT_EQ(second.substr(0, 9), ":0E0E0200");
    EXPECT_EQ(second.substr(9, 4), "6162");
    EXPECT_NE(hex.find("\r\n:070E10006F707172737475"), std::string::npos);
    EXPECT_EQ(hex.substr(hex.size() - 13), ":00000001FF\r\n");
}

TEST(IntelHex, readsWhatItWroteAndKeepsUnknownsUnknown) {
    ModuleContents c = smallBackup();
    c.set(17, 0x0E);
    c.set(3590, 0xFF);
    c.set(32767, 0);
    const auto back = contents::fromIntelHex(contents::toIntelHex(c));
    ASSERT_TRUE(back) << back.message();
    EXPECT_EQ(back->knownCount(), 7);
    for (int location : {0, 1, 2, 3, 17, 3590, 32767}) {
        EXPECT_EQ(back->at(location), c.at(location)) << location;
    }
    EXPECT_FALSE(back->known(16));
}

TEST(IntelHex, readsLowerCaseLineFeedsAndAZeroExtendedAddress) {
    const auto c = contents::fromIntelHex(
        ":020000040000FA\n:040000000905035893\n:010E0200ab44\n:00000001ff\n");
    ASSERT_TRUE(c) << c.message();
    EXPECT_EQ(c->at(3586), 0xAB);
    EXPECT_TRUE(c->holdsCompleteDownload());
}

TEST(IntelHex, refusesWhatIsNotAGoodFileAndSaysWhy) {
    const struct {
        const char* text;
        const char* why;
    } cases[] = {
        {"040000000905035893\r\n:00000001FF\r\n", "line 1: a record must begin with ':'"},
        {":04000000090503589\r\n:00000001FF\r\n", "line 1: a record must hold"},
        {":040000000905035894\r\n:00000001FF\r\n", "line 1: wrong checksum"},
        {":0400000009050358G3\r\n:00000001FF\r\n", "line 1: not a hex digit: 'G3'"},
        {":030000000905035894\r\n", "line 1: the byte count 3"},
        {":040000020905035891\r\n:00000001FF\r\n", "line 1: record type 02 is not used here"},
        {":020000040001F9\r\n:010000000AF5\r\n:00000001FF\r\n", "line 2: data past location 32767"},
        {":017FFF000A77\r\n:017FFF000B76\r\n", "line 2: location 32767 is given twice"},
        {":040000000905035893\r\n", "the end record (type 01) is missing"},
        {":00000001FF\r\n:010000000AF5\r\n", "line 2: a record after the end record"},
        {":0100000100FE\r\n", "line 1: an end record carries no data"},
        {"", "the end record (type 01) is missing"},
    };
    for (const auto& c : cases) {
        const auto parsed = contents::fromIntelHex(c.text);
        ASSERT_FALSE(parsed) << c.text;
        EXPECT_EQ(parsed.message().rfind(c.why, 0), 0u) << c.text << " -> " << parsed.message();
    }
}

TEST(RawImage, isThirtyTwoKibibytesWithFFWhereNothingIsKnown) {
    ModuleContents c = smallBackup();
    c.set(3586, 'A');
    const std::string raw = contents::toRawImage(c);
    ASSERT_EQ(raw.size(), 32768u);
    EXPECT_EQ(raw.substr(0, 5), std::string("\x09\x05\x03X\xFF"));
    EXPECT_EQ(raw[3586], 'A');
    EXPECT_EQ(static_cast<uint8_t>(raw[3587]), 0xFF);

    const auto back = contents::fromRawImage(raw);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->knownCount(), 5);
    EXPECT_FALSE(contents::fromRawImage(raw.substr(1)));
    EXPECT_FALSE(contents::fromRawImage(raw + "x"));
}

TEST(BackupFile, theNameChoosesTheFormatAndOnlyACompleteDownloadIsABackup) {
    brindle::testing::TempDir dir;
    const ModuleContents c = smallBackup();
    for (const std::string name : {"module.hex", "MODULE.HEX", "module.bin", "module"}) {
        const std::string path = dir.file(name);
        ASSERT_TRUE(contents::writeBackupFile(path, c)) << name;
        const auto text = base::readWholeFile(path);
        ASSERT_TRUE(text);
        EXPECT_EQ(text->size() == 32768u, !contents::isHexFileName(path)) << name;
        const auto back = contents::readBackupFile(path);
        ASSERT_TRUE(back) << back.message();
        EXPECT_EQ(back->at(2), 3);
    }
    ModuleContents incomplete = c;
    incomplete.set(3, 'Z');
    ASSERT_TRUE(contents::writeBackupFile(dir.file("z.hex"), incomplete));
    const auto refused = contents::readBackupFile(dir.file("z.hex"));
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.message().find("location 3 does not hold \"X\""), std::string::npos);
    EXPECT_FALSE(contents::readBackupFile(dir.file("missing.hex")));
}

}  // namespace
