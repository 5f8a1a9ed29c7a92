#pragma once
// A backup of the Macro Module's contents, in one of two formats chosen by
// the file's name:
//   ".hex" (any case)  Intel HEX: data records (type 00) of up to 16 bytes
//                      for the known locations only, the end record (01);
//                      the reader also takes extended linear address
//                      records (04) whose upper address is 0
//   anything else      a raw image of exactly 32768 bytes, location 0 first,
//                      0xFF where nothing is known (so a raw image cannot
//                      tell a stored 0xFF from an unknown byte: its 0xFF
//                      bytes are read as unknown)
// A backup is valid when it parses and says that it holds a complete
// download: location 3 is "X".
#include <string>
#include <string_view>

#include "base/status.h"
#include "contents/module_contents.h"

namespace brindle::contents {

inline constexpr std::size_t kRawImageSize = state::kLocationCount;
inline constexpr std::size_t kHexRecordBytes = 16;

bool isHexFileName(const std::string& path);

std::string toIntelHex(const ModuleContents& contents);
base::Result<ModuleContents> fromIntelHex(std::string_view text);

std::string toRawImage(const ModuleContents& contents);
base::Result<ModuleContents> fromRawImage(std::string_view bytes);

// Replaces the file as a whole; a failure leaves no part of it behind.
base::Status writeBackupFile(const std::string& path, const ModuleContents& contents);
// Reads, parses and checks a backup: the message says what is wrong with it.
base::Result<ModuleContents> readBackupFile(const std::string& path);

}  // namespace brindle::contents
