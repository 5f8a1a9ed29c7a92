#pragma once
// Cutting a rewritten macro text into lines and compiling each one.
#include <string>
#include <string_view>

#include "download/image_compile_line.h"

namespace brindle::download {

// The compiled lines as the work file "Blockdat.Tmp" holds them: each one
// followed by CR LF. Characters with codes above 31 build the current line; a
// CR ends it only once it has more than one character (so a one-character
// line is joined to the next); every other character is dropped. Stops at
// the first line that sets tables.problem.
std::string compileLines(std::string_view rewritten, CompileTables& tables);

}  // namespace brindle::download
