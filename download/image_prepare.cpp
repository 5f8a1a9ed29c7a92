#include "download/image_prepare.h"

#include "base/text.h"
#include "download/image_assembly.h"
#include "download/image_layout.h"
#include "download/image_lines.h"
#include "macrotext/status_arguments.h"
#include "macrotext/work_file.h"

namespace brindle::download {
namespace {

ImageResult refused(const std::string& macroName, const std::string& reason) {
    ImageResult result;
    result.outcome = ImageResult::Outcome::Refused;
    result.message = "Macro \"" + base::trimBlanks(macroName) + "\" cannot be compiled: " + reason;
    return result;
}

std::string beyond(const std::string& what, long location) {
    return what + " location " + std::to_string(location) + ", beyond " +
           std::to_string(kLastLocation);
}

}  // namespace

ImageResult buildMacroImage(const std::string& macroName, std::string_view rewrittenText,
                            int imageOffset, const bool& CancelFlag, std::string* blockdat) {
    CompileTables tables;
    std::string lines = compileLines(rewrittenText, tables);
    if (blockdat) {
        *blockdat = lines;
    }
    if (!tables.problem.empty()) {
        return refused(macroName, tables.problem);
    }
    if (imageOffset < 0) {
        return refused(macroName,
                       "its image offset " + std::to_string(imageOffset) + " is below 0");
    }

    ImageResult result;
    result.image.bytes = assembleImage(lines);
    long start = static_cast<long>(kMacroAreaStart) + imageOffset;
    long end = start + static_cast<long>(result.image.bytes.size()) - 1;
    if (start > kLastLocation) {
        return refused(macroName, beyond("its image would start at", start));
    }
    if (end > kLastLocation) {
        return refused(macroName, beyond("its image would end at", end));
    }

    JumpResolution jumps = resolveJumps(result.image.bytes, tables, imageOffset, CancelFlag);
    if (!jumps.problem.empty()) {
        return refused(macroName, jumps.problem);
    }
    if (jumps.cancelled) {
        result.outcome = ImageResult::Outcome::Cancelled;
    }
    result.unresolvedTargets = std::move(jumps.unresolved);
    return result;
}

ImageResult prepareMacroImage(const std::string& dataDir, const std::string& macroName,
                              const std::string& macroText, int imageOffset, const bool& CancelFlag,
                              const std::function<void()>& yieldEvents) {
    std::string text = base::upperAscii(base::trimBlanks(macroText));
    macrotext::RewriteResult rewritten =
        macrotext::PrepareStatusArguments(dataDir, text, yieldEvents);
    if (!rewritten.ok()) {
        return refused(macroName, rewritten.problem);
    }
    std::string blockdat;
    ImageResult result =
        buildMacroImage(macroName, rewritten.text, imageOffset, CancelFlag, &blockdat);
    macrotext::replaceWorkFile(dataDir + "Blockdat.Tmp", blockdat);
    return result;
}

}  // namespace brindle::download
