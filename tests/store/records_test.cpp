#include "store/records.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

using namespace brindle::store;
using brindle::testing::hexBytes;
using brindle::testing::toHex;

TEST(MacroRecordLayout, isByteExact) {
    MacroRecord r;
    r.Name = "HOME";
    r.Reserved = std::string("RESERVEDxyz!");
    r.Body = "1 MA 10\r\n";
    r.Spare1 = 0;
    r.Spare2 = -2;
    const std::string bytes = r.encode();
    ASSERT_EQ(bytes.size(), 16360u);
    EXPECT_EQ(bytes.substr(0, 12), "HOME        ");
    EXPECT_EQ(bytes.substr(12, 12), "RESERVEDxyz!");
    EXPECT_EQ(bytes.substr(24, 9), "1 MA 10\r\n");
    EXPECT_EQ(bytes.substr(33, 16323), std::string(16323, ' '));
    EXPECT_EQ(toHex(bytes.substr(16356, 4)), "00 00 FE FF");
    MacroRecord back = MacroRecord::decode(bytes);
    EXPECT_EQ(back.Name, "HOME        ");
    EXPECT_EQ(back.Spare2, -2);
    EXPECT_EQ(back.encode(), bytes);
}

TEST(MacroRecordLayout, cutsLongNames) {
    MacroRecord r;
    r.Name = "ABCDEFGHIJKLMNOP";
    EXPECT_EQ(r.encode().substr(0, 13), "ABCDEFGHIJKL ");
}

TEST(ComboRecordLayout, isByteExact) {
    ComboRecord r;
    r.Name = "DEMO";
    r.Version = "v2";
    r.NodeAddress = 65;
    r.StartingMacroNum = -1;
    r.Description = "Two macros";
    r.Sequence[0] = 1;
    r.Sequence[2] = 0x01020304;
    r.Sequence[255] = -1;
    const std::string bytes = r.encode();
    ASSERT_EQ(bytes.size(), 1140u);
    EXPECT_EQ(bytes.substr(0, 16), "DEMO            ");
    EXPECT_EQ(bytes.substr(16, 16), "v2              ");
    EXPECT_EQ(toHex(bytes.substr(32, 4)), "41 00 FF FF");
    EXPECT_EQ(bytes.substr(36, 80), "Two macros" + std::string(70, ' '));
    EXPECT_EQ(toHex(bytes.substr(116, 12)), "01 00 00 00 00 00 00 00 04 03 02 01");
    EXPECT_EQ(toHex(bytes.substr(1136, 4)), "FF FF FF FF");
    EXPECT_EQ(ComboRecord::decode(bytes).encode(), bytes);
    EXPECT_EQ(ComboRecord::decode(bytes).Sequence[2], 0x01020304);
}

TEST(ConfigRecordLayout, defaultsAreByteExact) {
    const std::string bytes = ConfigRecord{}.encode();
    ASSERT_EQ(bytes.size(), 43u);
    EXPECT_EQ(toHex(bytes.substr(0, 6)), "01 00 00 96 00 00");
    EXPECT_EQ(bytes.substr(6, 31), std::string(31, '\0'));
    EXPECT_EQ(toHex(bytes.substr(37, 6)), "01 00 00 00 01 00");
}

TEST(ConfigRecordLayout, carriesReservedBytesThrough) {
    std::string bytes =
        hexBytes("03 00 00 E1 00 00 7A") + std::string(30, 'q') + hexBytes("FD FF 34 12 0A 00");
    ConfigRecord r = ConfigRecord::decode(bytes);
    EXPECT_EQ(r.PortNumber, 3);
    EXPECT_EQ(r.BaudRate, 57600);
    EXPECT_EQ(r.ReadDelayMs, -3);
    EXPECT_EQ(r.ReservedWord, 0x1234);
    EXPECT_EQ(r.WriteDelayMs, 10);
    EXPECT_EQ(r.encode(), bytes);
}
