#pragma once
// Whole files. Replacing a file goes through a fresh temporary file in the
// same folder (created exclusively, so it never follows a link planted at its
// name nor reuses an existing file), flushed to disk and then renamed over the
// old one: a crash or a full disk leaves either the old or the new content,
// never a mixture, a short file or an empty one.
#include <string>
#include <string_view>

#include "base/status.h"

namespace brindle::base {

Status replaceFile(const std::string& path, std::string_view content);

// The whole content of a regular file.
Result<std::string> readWholeFile(const std::string& path);

}  // namespace brindle::base
