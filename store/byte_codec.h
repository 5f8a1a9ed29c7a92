#pragma once
// Little-endian two's complement fields inside a record held as a byte string.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brindle::store {

inline void putInt16(std::string& bytes, std::size_t offset, int16_t value) {
    auto u = static_cast<uint16_t>(value);
    bytes[offset] = static_cast<char>(u & 0xFF);
    bytes[offset + 1] = static_cast<char>(u >> 8);
}

inline void putInt32(std::string& bytes, std::size_t offset, int32_t value) {
    auto u = static_cast<uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
    }
}

inline int16_t getInt16(const std::string& bytes, std::size_t offset) {
    auto lo = static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset]));
    auto hi = static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset + 1]));
    return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
}

inline int32_t getInt32(const std::string& bytes, std::size_t offset) {
    uint32_t u = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        u |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    }
    return static_cast<int32_t>(u);
}

inline void putUint64(std::string& bytes, std::size_t offset, uint64_t value) {
    for (std::size_t i = 0; i < 8; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

inline uint64_t getUint64(const std::string& bytes, std::size_t offset) {
    uint64_t u = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        u |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    }
    return u;
}

// FNV-1a, 64 bits: tells a file the library wrote from one that merely has
// its name (not a defence against a forger). Fed in pieces, it gives the
// same value as over the whole.
inline constexpr uint64_t kChecksumStart = 0xCBF29CE484222325ULL;
inline uint64_t checksum(std::string_view bytes, uint64_t sum = kChecksumStart) {
    for (char c : bytes) {
        sum ^= static_cast<unsigned char>(c);
        sum *= 0x100000001B3ULL;
    }
    return sum;
}

// A text field: cut or blank-filled to its width.
inline void putText(std::string& bytes, std::size_t offset, std::size_t width,
                    const std::string& text) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = i < text.size() ? text[i] : ' ';
    }
}

}  // namespace brindle::store
