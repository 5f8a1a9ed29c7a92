#pragma once
// The rewrite as first written: every step rebuilds the whole line and
// searches it from the start. Simple to check against the rules by reading,
// and quadratic in the number of jumps on a line, so it lives only in tests,
// fuzz targets and benchmarks, to compare the production rewrite against.
#include <string>
#include <string_view>

#include "base/status.h"

namespace brindle::testing::reference {

std::string expandJumps(std::string L);
base::Result<std::string> rewriteLine(std::string_view line);
base::Result<std::string> rewriteStatusArguments(std::string_view text);

}  // namespace brindle::testing::reference
