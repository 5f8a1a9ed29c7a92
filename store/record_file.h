#pragma once
// Files of fixed-length records with no header. Record n (from 1) lies at byte
// offset (n - 1) x length; the record count ignores a trailing partial record.
// Opening a missing file creates it empty, as every database operation does.
// Writes put a whole record at its offset and check the result: a write that
// fails leaves the file as it was (an append that fails is cut back off).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "store/record_count.h"

namespace brindle::store {

// Record n as raw bytes; nullopt when it is not wholly in the file.
std::optional<std::string> readRecord(const std::string& path, std::size_t recordLength, int32_t n);

// Writes the record bytes (exactly recordLength of them) as record n.
base::Status writeRecord(const std::string& path, std::size_t recordLength, int32_t n,
                         const std::string& bytes);

}  // namespace brindle::store
