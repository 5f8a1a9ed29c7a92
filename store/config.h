#pragma once
// "ZrtCfg.Dat": one 43-byte configuration record (layout in records.h).
// Every writer reads record 1 from the file first and writes the whole record
// back, so reserved fields and fields it does not change keep what the file
// held. A value that does not fit its field is refused and nothing is written.
// Writers hold the library lock from that read to the write, and replace the
// file whole, so a crash never leaves it short or empty.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"
#include "store/file_names.h"
#include "store/records.h"

namespace brindle::store {

std::string configPath(const std::string& dataDir);

// Start-up: an empty (or missing) file gets the defaults written as record 1;
// otherwise record 1 is read. A file shorter than one whole record holds no
// usable record: it is rewritten with the defaults. Returns the record in use;
// a failure means the defaults are in use but could not be written.
base::Result<ConfigRecord> loadConfigAtStartup(const std::string& dataDir);

enum class DelayField { Read, Write };

// The delay selectors: v = the text's numeric value as a 16-bit integer, stored
// in the record field and in the module-wide copy. Out of range: refused, the
// record, the file and the copy keep their values.
base::Status storeDelay(const std::string& dataDir, ConfigRecord& config, DelayField field,
                        std::string_view text, int16_t& moduleCopy);

// The port option i (0..3) stores port i + 1; the delay copies are refreshed.
base::Status storePort(const std::string& dataDir, ConfigRecord& config, int portNumber,
                       int16_t& PostReadDelayMs, int16_t& PostWriteDelayMs);

// The speed option: stores the numeric value of its caption as the baud rate.
base::Status storeBaud(const std::string& dataDir, ConfigRecord& config, std::string_view caption,
                       int16_t& PostReadDelayMs, int16_t& PostWriteDelayMs);

}  // namespace brindle::store
