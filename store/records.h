#pragma once
// The three record layouts, field by field. All integers are little-endian
// two's complement; text fields are 8-bit characters, blank-filled, with no
// length and no terminator.
//
// MacroRecord, one record of "MacroDb.Dat", 16360 bytes:
//   0     12    Name      all blanks = deleted record
//   12    12    Reserved  carried through, never interpreted
//   24    16332 Body      the macro text, blank-filled
//   16356 2     Spare1    int16, written as 0
//   16358 2     Spare2    int16, written as 0
//
// ComboRecord, one record of "ComboDb.Dat", 1140 bytes:
//   0     16    Name              all blanks = deleted record
//   16    16    Version
//   32    2     NodeAddress       int16
//   34    2     StartingMacroNum  int16, 1-based position, 0 = none
//   36    80    Description
//   116   1024  Sequence          256 x int32 macro record numbers, < 1 = empty
//
// ConfigRecord, record 1 of "ZrtCfg.Dat", 43 bytes:
//   0     2     PortNumber     int16
//   2     4     BaudRate       int32 (no gap after the port number)
//   6     1     ReservedChar
//   7     30    ReservedText
//   37    2     ReadDelayMs    int16
//   39    2     ReservedWord   int16
//   41    2     WriteDelayMs   int16
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace brindle::store {

constexpr std::size_t kMacroNameWidth = 12;
constexpr std::size_t kComboNameWidth = 16;
constexpr std::size_t kMacroBodyWidth = 16332;
constexpr std::size_t kMacroRecordLength = 16360;
constexpr std::size_t kComboRecordLength = 1140;
constexpr std::size_t kConfigRecordLength = 43;
constexpr std::size_t kSequenceSlots = 256;

struct MacroRecord {
    std::string Name = std::string(kMacroNameWidth, ' ');
    std::string Reserved = std::string(12, ' ');
    std::string Body = std::string(kMacroBodyWidth, ' ');
    int16_t Spare1 = 0;
    int16_t Spare2 = 0;

    std::string encode() const;
    // bytes must hold exactly kMacroRecordLength bytes.
    static MacroRecord decode(const std::string& bytes);
};

struct ComboRecord {
    std::string Name = std::string(kComboNameWidth, ' ');
    std::string Version = std::string(16, ' ');
    int16_t NodeAddress = 0;
    int16_t StartingMacroNum = 0;
    std::string Description = std::string(80, ' ');
    std::array<int32_t, kSequenceSlots> Sequence{};

    std::string encode() const;
    static ComboRecord decode(const std::string& bytes);
};

struct ConfigRecord {
    int16_t PortNumber = 1;
    int32_t BaudRate = 38400;
    char ReservedChar = '\0';
    std::string ReservedText = std::string(30, '\0');
    int16_t ReadDelayMs = 1;
    int16_t ReservedWord = 0;
    int16_t WriteDelayMs = 1;

    std::string encode() const;
    static ConfigRecord decode(const std::string& bytes);
};

}  // namespace brindle::store
