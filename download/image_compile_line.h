#pragma once
// Compiling one rewritten macro line into the form the module stores:
// comments cut, "MACRO n" reduced to "MACRO" and the byte n, a label taken out
// and remembered with the line's image offset, and "GOTO target" reduced to
// "GOTO" and a two-digit place holder ("01", "02", ...) that jump resolution
// later replaces with the two bytes of the label's location.
#include <string>
#include <string_view>
#include <vector>

namespace brindle::download {

struct LabelEntry {
    std::string name;  // as written before the colon, not trimmed
    int offset = 0;    // 0-based image offset of the line that carried it
};

struct JumpEntry {
    std::string target;  // text after "GOTO", trimmed
    int position = 0;    // 1-based image position of the first place-holder byte
};

// The tables and counters of one macro; start a fresh one for every macro.
struct CompileTables {
    std::vector<LabelEntry> labels;
    std::vector<JumpEntry> jumps;
    int lineOffset = 0;  // bytes of the compiled lines so far, their CRs included
    // Set when a line cannot be compiled correctly; the macro must then be
    // refused. Empty otherwise.
    std::string problem;
    // A number that does not fit the byte it is stored in, in line order.
    std::vector<std::string> notes;
};

// The compiled line (empty when nothing of it remains). Records the line's
// label and jump in tables and advances tables.lineOffset.
std::string CompileLine(std::string_view line, CompileTables& tables);

}  // namespace brindle::download
