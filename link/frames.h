#pragma once
// Frames exchanged with the Macro Module.
//
//   byte 0      '#' (0x23)
//   byte 1      address: 'A' (0x41) from the program, 'M' (0x4D) from the module,
//               the node address in a start-block frame
//   byte 2      length: number of body bytes, address and length included
//   byte 3      command letter
//   bytes 4..   arguments; a location is two bytes, high byte first
//   next        checksum: sum of the body bytes (address .. last argument) mod 256
//   last        CR (0x0D)
//
// Replies are recognised by searching the received text for the whole
// expected frame, so a checksum that happens to be 13 does no harm.
#include <cstdint>
#include <string>

namespace brindle::link {

inline constexpr char kProgramAddress = 'A';
inline constexpr char kModuleAddress = 'M';
// A receive text longer than this is emptied before new input is appended.
inline constexpr std::size_t kReceiveTextLimit = 512;
// Frames are copied into a buffer of this size before they are sent.
inline constexpr std::size_t kCommandBufferSize = 21;

uint8_t checksum(const std::string& body);
// "#" + body + checksum + CR.
std::string frame(const std::string& body);

// 23 41 06 57 hi lo value cs 0D
std::string writeFrame(int16_t location, uint8_t value);
// 23 41 05 52 hi lo cs 0D
std::string readFrame(int16_t location);
// The module's answer to a read: 23 4D 04 52 value cs 0D
std::string readReply(uint8_t value);
// The module's "ready to talk" frame: 23 4D 03 58 A8 0D
std::string syncFrame();
// The dump request: 23 41 04 45 32 BC 0D
std::string dumpFrame();
// Start a macro block (0 cancels): 23 node 04 53 block cs 0D
std::string startBlockFrame(uint8_t node, uint8_t block);
// The module's confirmation of a start-block frame: " B " and the digit '0' + block.
std::string blockConfirmation(uint8_t block);
// The wake bytes sent to a talking controller: CR CR (not framed).
std::string wakeBytes();

}  // namespace brindle::link
