#pragma once
// What a file of fixed-length records holds, learnt without opening it for
// writing: its kind, its length and its count of whole records. The name
// scan (leading_fields.h) counts with it; record_file.h reads and writes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"

namespace brindle::store {

// The formats count records in 16-bit integers: a file with more records is
// refused rather than read in part or written over.
inline constexpr int64_t kMaxRecords = 32767;

// Creates the file empty when it is missing.
base::Status ensureFile(const std::string& path);

// Byte length of the file, or nullopt when it cannot be examined or is not a
// regular file (a link is never followed).
std::optional<std::uintmax_t> fileLength(const std::string& path);

// Why a file of this mode (from lstat) is not used: "PATH is a FIFO (named
// pipe), not a regular file."
std::string notRegularReason(const std::string& path, unsigned mode);

// Whole records in the file (0 for a missing file, which is created). A file
// that is not a regular file (a link, a folder, a pipe, a device), or one that holds
// more than kMaxRecords records, is a failure that says so. Files are only
// ever opened without blocking.
base::Result<int32_t> countRecords(const std::string& path, std::size_t recordLength);
// The same without creating a missing file.
base::Result<int32_t> countRecordsAsTheyAre(const std::string& path, std::size_t recordLength);
// The same, with a refused file counting no records.
int32_t recordCount(const std::string& path, std::size_t recordLength);

}  // namespace brindle::store
