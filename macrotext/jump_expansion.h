#pragma once
// The jump shorthand of one macro line: every ">" becomes a line end, the
// text after it up to the next "ST " a "GOTO" line, the first remaining "ST "
// of the line a status jump "STJ", and a further "ST " after the jump gets
// the line's first character and a blank put before it, so a chained
// condition keeps its axis. The stored texts and the module's images depend
// on every byte of this result.
#include <string>
#include <string_view>

namespace brindle::macrotext {

// line is one upper-cased line with the CR the rewrite appends; any text is
// accepted. The cost grows linearly with the line and the result.
std::string expandJumps(std::string_view line);

}  // namespace brindle::macrotext
