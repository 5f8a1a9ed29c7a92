#include "download/image_prepare.h"

#include "base/files.h"
#include "base/text.h"
#include "download/image_assembly.h"
#include "download/image_layout.h"
#include "download/image_lines.h"
#include "macrotext/status_arguments.h"

namespace brindle::download {
namespace {

base::Status refused(const std::string& macroName, const std::string& reason) {
    return base::Status::failure("Macro \"" + base::trimBlanks(macroName) +
                                 "\" cannot be compiled: " + reason);
}

std::string beyond(const std::string& what, long location) {
    return what + " location " + std::to_string(location) + ", beyond " +
           std::to_string(kLastLocation);
}

// Builds the image and puts the notes together in the order the notes say.
ImageResult buildWithNotes(const std::string& macroName, std::string_view rewrittenText,
                           int imageOffset, const bool& CancelFlag, std::string* blockdat,
                           std::vector<std::string> rewriteNotes) {
    ImageResult image =
        buildMacroImage(macroName, rewrittenText, imageOffset, CancelFlag, blockdat);
    if (image) {
        rewriteNotes.insert(rewriteNotes.end(), image->notes.begin(), image->notes.end());
        image->notes = std::move(rewriteNotes);
    }
    return image;
}

std::string upperTrimmed(const std::string& macroText) {
    return base::upperAscii(base::trimBlanks(macroText));
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

    MacroImage result;
    result.bytes = assembleImage(lines);
    long start = static_cast<long>(kMacroAreaStart) + imageOffset;
    long end = start + static_cast<long>(result.bytes.size()) - 1;
    if (start > kLastLocation) {
        return refused(macroName, beyond("its image would start at", start));
    }
    if (end > kLastLocation) {
        return refused(macroName, beyond("its image would end at", end));
    }

    JumpResolution jumps = resolveJumps(result.bytes, tables, imageOffset, CancelFlag);
    if (!jumps.problem.empty()) {
        return refused(macroName, jumps.problem);
    }
    result.cancelled = jumps.cancelled;
    result.unresolvedTargets = std::move(jumps.unresolved);
    result.notes = std::move(tables.notes);
    for (const std::string& target : result.unresolvedTargets) {
        result.notes.push_back("no label \"" + target + "\"; the jump keeps its place holder");
    }
    return result;
}

std::vector<std::string> compileNotes(const std::string& macroName, const std::string& macroText) {
    std::vector<std::string> notes;
    base::Result<std::string> rewritten =
        macrotext::rewriteStatusArguments(upperTrimmed(macroText), notes);
    if (!rewritten) {
        return {refused(macroName, rewritten.message()).message()};
    }
    const bool neverCancelled = false;
    ImageResult image =
        buildWithNotes(macroName, *rewritten, 0, neverCancelled, nullptr, std::move(notes));
    if (!image) {
        return {image.message()};
    }
    return std::move(image->notes);
}

ImageResult prepareMacroImage(const std::string& dataDir, const std::string& macroName,
                              const std::string& macroText, int imageOffset, const bool& CancelFlag,
                              const std::function<void()>& yieldEvents) {
    std::vector<std::string> notes;
    base::Result<std::string> rewritten =
        macrotext::PrepareStatusArguments(dataDir, upperTrimmed(macroText), notes, yieldEvents);
    if (!rewritten) {
        return refused(macroName, rewritten.message());
    }
    std::string blockdat;
    ImageResult result =
        buildWithNotes(macroName, *rewritten, imageOffset, CancelFlag, &blockdat, std::move(notes));
    // The work file only shows the last compiled lines; the image is built
    // from memory, so a folder that cannot be written changes nothing.
    base::skipOnError(base::replaceFile(dataDir + "Blockdat.Tmp", blockdat));
    return result;
}

}  // namespace brindle::download
