#pragma once
// The Setup browser's remembered values, in the process's current folder:
//   "LastDrive.dat"  2-byte records, int16 LE: position of the chosen drive
//   "Lastpatt.dat"   2-byte records, int16 LE: list position of the pattern;
//                    after record 2 of -1, the typed pattern (8-bit text to
//                    the end of the file)
//   "Lastpath.dat"   60-byte records: the folder path, blank-filled or cut
// Each file normally holds two records and only record 2 is read. A writer
// that finds the file empty writes its value as record 1 and record 2;
// afterwards it writes only record 2.
#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"

namespace brindle::store {

inline constexpr const char* kLastDriveFile = "LastDrive.dat";
inline constexpr const char* kLastPatternFile = "Lastpatt.dat";
inline constexpr const char* kLastPathFile = "Lastpath.dat";
constexpr std::size_t kLastPathWidth = 60;

// Record 2 of a 2-byte-record file; nullopt when the file holds fewer than two.
std::optional<int16_t> readRememberedPosition(const std::string& path);
// Record 2 of "Lastpath.dat" with blanks trimmed; nullopt when fewer than two.
std::optional<std::string> readRememberedPath(const std::string& path);
// The pattern of "Lastpatt.dat": a list position, or -1 and the text typed.
struct RememberedPattern {
    int16_t position = -1;
    std::string typed;
    bool operator==(const RememberedPattern&) const = default;
};
std::optional<RememberedPattern> readRememberedPattern(const std::string& path);

// The same from a file's whole content.
std::optional<int16_t> rememberedPosition(const std::string& fileBytes);
std::optional<RememberedPattern> rememberedPattern(const std::string& fileBytes);
std::optional<std::string> rememberedPath(const std::string& fileBytes);

// The folder a drive entry stands for: the text before its first "[" when
// that is not the first character ("/media/usb [STICK]" gives "/media/usb ",
// the blank kept), otherwise the whole text.
std::string drivePath(const std::string& driveText);

base::Status writeRememberedPosition(const std::string& path, int16_t value);
base::Status writeRememberedPath(const std::string& path, const std::string& folder);
// Record 2 (records 1 and 2 in an empty file) holds position; typed text
// follows it only when position is -1, and the file ends there.
base::Status writeRememberedPattern(const std::string& path, const RememberedPattern& pattern);

}  // namespace brindle::store
