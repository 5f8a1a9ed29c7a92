#pragma once
// Preparing one macro of a download: its stored text becomes the bytes the
// Macro Module keeps (upper case, status arguments in hex, comments and labels
// gone, jumps resolved to E2PROM locations, lines ending in CR).
//
// A macro that cannot be compiled correctly is refused with a message that
// names it and says why; nothing is sent for it. Preparing has no effect
// besides the work files "Macro.Tmp" and "Blockdat.Tmp" in the data folder,
// which are left holding the last macro's texts, so a transfer can prepare
// every macro of a combination before it sends anything.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace brindle::download {

struct MacroImage {
    std::string bytes;  // complete unless cancelled
    // Jump targets without a label; their two place-holder digits stay in the
    // image, as the macro language defines.
    std::vector<std::string> unresolvedTargets;
    // CancelFlag was set while the jumps were resolved.
    bool cancelled = false;
    // What the image does not keep as the text says, in words, for the user:
    // each status argument or MACRO number too large for its field (its
    // stored value given), then each jump to a label the macro does not define.
    std::vector<std::string> notes;
};

// A refusal names the macro and says why it cannot be compiled.
using ImageResult = base::Result<MacroImage>;

// Compiles an already rewritten text. imageOffset is the number of image
// bytes of the macros before this one in the same run. When blockdat is given
// it receives the compiled lines as "Blockdat.Tmp" holds them.
ImageResult buildMacroImage(const std::string& macroName, std::string_view rewrittenText,
                            int imageOffset, const bool& CancelFlag,
                            std::string* blockdat = nullptr);

// The notes of compiling `macroText` as the first macro of a download, with
// no file touched: the image's notes, or the refusal when the macro cannot be
// compiled. Save Macro warns of them; the command-line tool prints the same.
std::vector<std::string> compileNotes(const std::string& macroName, const std::string& macroText);

// The whole preparation: blanks trimmed at both ends, upper case, the status
// argument rewrite through dataDir + "Macro.Tmp", the lines compiled through
// dataDir + "Blockdat.Tmp", then jumps resolved. yieldEvents (may be empty)
// lets pending window events run once, during the rewrite.
ImageResult prepareMacroImage(const std::string& dataDir, const std::string& macroName,
                              const std::string& macroText, int imageOffset, const bool& CancelFlag,
                              const std::function<void()>& yieldEvents = {});

}  // namespace brindle::download
