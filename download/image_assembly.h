#pragma once
// From the compiled lines to the bytes the module stores, and the jumps
// resolved to E2PROM locations.
#include <string>
#include <string_view>
#include <vector>

#include "download/image_compile_line.h"

namespace brindle::download {

// The image: the compiled lines' bytes with every LF dropped, except the LF
// that is the number byte of "MACRO 10". Each line thus ends with CR alone.
std::string assembleImage(std::string_view blockdat);

struct JumpResolution {
    // Set when a jump would need a location beyond the last one; the macro
    // must then be refused.
    std::string problem;
    // CancelFlag stopped the resolution before every jump was done.
    bool cancelled = false;
    // Targets without a label, in jump order; their place holders stay.
    std::vector<std::string> unresolved;
};

// For each jump while CancelFlag is clear: the first label named exactly as
// the target gives the location kMacroAreaStart + imageOffset + label offset,
// written over the jump's place holder as its high and low byte.
JumpResolution resolveJumps(std::string& image, const CompileTables& tables, int imageOffset,
                            const bool& CancelFlag);

}  // namespace brindle::download
