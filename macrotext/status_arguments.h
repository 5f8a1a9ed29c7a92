#pragma once
// The rewrite every macro text passes before it is compiled: each line is
// upper-cased, the jump shorthand "c ST n >TARGET" becomes a status-jump line
// and a GOTO line, the decimal argument of ST and STJ becomes four hex digits,
// and lines holding several statements are cut at their carriage returns.
// Every emitted line ends in CR.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace brindle::macrotext {

// Lines of a macro text: a line ends at CR, and a LF right after that CR is
// skipped; a lone LF is an ordinary character. Text after the last CR is a
// line only when it is not empty, so an empty text has no lines.
std::vector<std::string> splitMacroLines(std::string_view text);

// The rewrite of one line (without its line end).
// A failure says why the text cannot be rewritten faithfully.
base::Result<std::string> rewriteLine(std::string_view line);
// The same, adding to `notes` each status argument that does not fit its four
// hex digits (above 65535), so that only its last four digits are kept.
base::Result<std::string> rewriteLine(std::string_view line, std::vector<std::string>& notes);

// The rewrite of a whole text, in memory.
base::Result<std::string> rewriteStatusArguments(std::string_view text);
// The same, adding to `notes` first how many line breaks are a LF alone (it
// does not end a line), then each status argument too large.
base::Result<std::string> rewriteStatusArguments(std::string_view text,
                                                 std::vector<std::string>& notes);

// The rewrite as a download performs it: the text passes through the work file
// dataDir + "Macro.Tmp", which is left holding it, and pending window events
// get one chance to run (yieldEvents may be empty).
base::Result<std::string> PrepareStatusArguments(const std::string& dataDir, std::string_view text,
                                                 const std::function<void()>& yieldEvents = {});
base::Result<std::string> PrepareStatusArguments(const std::string& dataDir, std::string_view text,
                                                 std::vector<std::string>& notes,
                                                 const std::function<void()>& yieldEvents = {});

}  // namespace brindle::macrotext
