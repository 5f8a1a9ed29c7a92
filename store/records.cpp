#include "store/records.h"

#include "store/byte_codec.h"

namespace brindle::store {

std::string MacroRecord::encode() const {
    std::string bytes(kMacroRecordLength, ' ');
    putText(bytes, 0, kMacroNameWidth, Name);
    putText(bytes, 12, 12, Reserved);
    putText(bytes, 24, kMacroBodyWidth, Body);
    putInt16(bytes, 16356, Spare1);
    putInt16(bytes, 16358, Spare2);
    return bytes;
}

MacroRecord MacroRecord::decode(const std::string& bytes) {
    MacroRecord r;
    r.Name = bytes.substr(0, kMacroNameWidth);
    r.Reserved = bytes.substr(12, 12);
    r.Body = bytes.substr(24, kMacroBodyWidth);
    r.Spare1 = getInt16(bytes, 16356);
    r.Spare2 = getInt16(bytes, 16358);
    return r;
}

std::string ComboRecord::encode() const {
    std::string bytes(kComboRecordLength, ' ');
    putText(bytes, 0, kComboNameWidth, Name);
    putText(bytes, 16, 16, Version);
    putInt16(bytes, 32, NodeAddress);
    putInt16(bytes, 34, StartingMacroNum);
    putText(bytes, 36, 80, Description);
    for (std::size_t s = 0; s < kSequenceSlots; ++s) {
        putInt32(bytes, 116 + 4 * s, Sequence[s]);
    }
    return bytes;
}

ComboRecord ComboRecord::decode(const std::string& bytes) {
    ComboRecord r;
    r.Name = bytes.substr(0, kComboNameWidth);
    r.Version = bytes.substr(16, 16);
    r.NodeAddress = getInt16(bytes, 32);
    r.StartingMacroNum = getInt16(bytes, 34);
    r.Description = bytes.substr(36, 80);
    for (std::size_t s = 0; s < kSequenceSlots; ++s) {
        r.Sequence[s] = getInt32(bytes, 116 + 4 * s);
    }
    return r;
}

std::string ConfigRecord::encode() const {
    std::string bytes(kConfigRecordLength, '\0');
    putInt16(bytes, 0, PortNumber);
    putInt32(bytes, 2, BaudRate);
    bytes[6] = ReservedChar;
    for (std::size_t i = 0; i < 30; ++i) {
        bytes[7 + i] = i < ReservedText.size() ? ReservedText[i] : '\0';
    }
    putInt16(bytes, 37, ReadDelayMs);
    putInt16(bytes, 39, ReservedWord);
    putInt16(bytes, 41, WriteDelayMs);
    return bytes;
}

ConfigRecord ConfigRecord::decode(const std::string& bytes) {
    ConfigRecord r;
    r.PortNumber = getInt16(bytes, 0);
    r.BaudRate = getInt32(bytes, 2);
    r.ReservedChar = bytes[6];
    r.ReservedText = bytes.substr(7, 30);
    r.ReadDelayMs = getInt16(bytes, 37);
    r.ReservedWord = getInt16(bytes, 39);
    r.WriteDelayMs = getInt16(bytes, 41);
    return r;
}

}  // namespace brindle::store
