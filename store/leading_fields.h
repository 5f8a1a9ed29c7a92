#pragma once
// The leading field (the name) of every record of a file, without reading the
// rest of the records: a name scan over a 10,000-macro database reads 12
// bytes a record instead of 163 MB.
//
// The scan is remembered per file and used again while the file is
// unchanged: same device, inode, size, and modification and change times.
// A scan is remembered only when the file was last changed more than two
// seconds before it began, so that a change made later within the same
// timestamp tick (file systems keep times as coarse as 2 s) cannot go
// unseen. Every record this process writes drops the file's scan at once.
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace brindle::store {

// The first `width` bytes of every whole record, in record order; a field
// that cannot be read gives an empty text.
std::vector<std::string> readLeadingFields(const std::string& path, std::size_t recordLength,
                                           std::size_t width);

// Drops what is remembered of the file (all files when path is empty).
void forgetLeadingFields(const std::string& path = {});

// Whether a scan of the file is remembered (for the tests and the benchmark).
bool leadingFieldsRemembered(const std::string& path);

// The clock a scan reads its start from, in seconds of real time; nullptr is
// the system clock. Tests set a later one rather than wait for a file to age.
using ScanClock = std::time_t (*)();
void setLeadingFieldsClock(ScanClock clock);

}  // namespace brindle::store
