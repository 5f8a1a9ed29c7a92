#include "macrotext/work_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace brindle::macrotext {

bool replaceWorkFile(const std::string& path, std::string_view bytes) {
    // Removing first means a stale longer file never leaves its tail behind,
    // even where truncation is not available.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace brindle::macrotext
