#pragma once
// Work files in the data folder: rewritten by the operation that uses them and
// left on disk afterwards, so the last run can be inspected.
#include <string>
#include <string_view>

namespace brindle::macrotext {

// Replaces the file at path with exactly bytes. Failures are not fatal to the
// caller's run (it works from memory), so they are only reported.
bool replaceWorkFile(const std::string& path, std::string_view bytes);

}  // namespace brindle::macrotext
