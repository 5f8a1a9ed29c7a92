#pragma once
// From the received dump text (see dump_reception.h) to the E2PROM text shown
// to the user. The stages are separate because the caller keeps each stage's
// text in a work file before the next one runs; readbackText runs them all.
//
//   withoutHeader  everything up to and including the first LF goes (the
//                  module's header line); a text without LF stays whole. A
//                  module that echoes what it is sent puts the dump frame
//                  back first: leading lines that begin with '#' are such
//                  echoes (the module's own text never begins with one) and
//                  go with the header line after them.
//   rewriteJumps   the text is cut into lines, each ended by CR or CR LF (a
//                  lone LF belongs to its line), and every line comes out
//                  followed by CR LF. In a line, the first "GOTO" whose two
//                  address bytes (high, low; unsigned) both lie in the line
//                  is a numbered jump. A location from 3586 on is written as
//                  its macro-area offset in decimal, dropping the rest of the
//                  line: "GOTO" 0E 0C 'X' -> "GOTO10"; the first 99 jumps
//                  keep their offset for a label. A lower location leaves the
//                  line as it came, and so does a GOTO cut short by its line's
//                  end (not numbered).
//   labelTargets   each offset once, in jump order.
//   insertLabels   CR LF, the offset, ':', CR LF right before the line holding
//                  that offset: the last line starting at or before it (a
//                  line starts at its first character's offset; a line
//                  without one is no candidate), or the first line when the
//                  offset lies before them all. An offset past every
//                  character's goes at the end of the text.
//   shownText      a text of 2 characters or fewer is "Read Failed".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "utilities/dump_reception.h"

namespace brindle::utilities {

// Jumps that may get a label.
inline constexpr int kMaxLabelledJumps = 99;

struct LineStart {
    std::size_t at = 0;  // index of the line's first character in JumpLines::text
    int32_t offset = kNoOffset;
};

struct Jump {
    int number = 0;  // counts every complete GOTO line, from 1
    int32_t offset = 0;
};

struct JumpLines {
    std::string text;
    // The lines that start at an offset, in text order.
    std::vector<LineStart> lineStarts;
    // The largest offset of any character received; kNoOffset when none.
    int32_t lastOffset = kNoOffset;
    // Jumps into the macro area among the first kMaxLabelledJumps, in order.
    std::vector<Jump> jumps;
    int gotoCount = 0;
};

ReplyText withoutHeader(ReplyText reply);
JumpLines rewriteJumps(const ReplyText& reply);
std::vector<int32_t> labelTargets(const std::vector<Jump>& jumps);
std::string insertLabels(const JumpLines& lines, const std::vector<int32_t>& targets);
std::string shownText(std::string labelled);

// All stages.
std::string readbackText(ReplyText reply);

}  // namespace brindle::utilities
