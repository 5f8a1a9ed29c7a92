// Feeds arbitrary bytes through the status-argument rewrite and the image
// compiler, and checks what must hold for every macro text: rewritten lines
// end in CR, the compiler's byte count matches the assembled image, every
// jump's place holder lies inside it, and an accepted image never reaches a
// location beyond 32767.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/image_assembly.h"
#include "download/image_layout.h"
#include "download/image_lines.h"
#include "download/image_prepare.h"
#include "macrotext/hex4.h"
#include "macrotext/status_arguments.h"

namespace {

using namespace brindle;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkCompiled(const std::string& rewritten) {
    download::CompileTables tables;
    std::string image = download::assembleImage(download::compileLines(rewritten, tables));
    if (!tables.problem.empty()) {
        return;
    }
    require(image.size() == static_cast<std::size_t>(tables.lineOffset));
    require(tables.labels.size() <= download::kMaxLabels);
    require(tables.jumps.size() <= download::kMaxJumps);
    for (const download::JumpEntry& jump : tables.jumps) {
        require(jump.position >= 1 && static_cast<std::size_t>(jump.position) + 1 <= image.size());
    }
    for (const download::LabelEntry& label : tables.labels) {
        require(label.offset >= 0 && static_cast<std::size_t>(label.offset) <= image.size());
    }
}

void checkImage(const std::string& rewritten, int offset) {
    const bool CancelFlag = false;
    download::ImageResult result = download::buildMacroImage("FUZZ", rewritten, offset, CancelFlag);
    if (!result) {
        require(!result.message().empty());
        return;
    }
    long last = download::kMacroAreaStart + offset + static_cast<long>(result->bytes.size()) - 1;
    require(last <= download::kLastLocation);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    base::Result<std::string> rewritten = macrotext::rewriteStatusArguments(text);
    if (!rewritten) {
        return 0;
    }
    require(rewritten->empty() || rewritten->back() == '\r');
    checkCompiled(*rewritten);
    checkImage(*rewritten, 0);
    // Near the end of the E2PROM the location limits come into play.
    checkImage(*rewritten, 29000);
    // The compiler also meets texts that never passed the rewrite.
    checkCompiled(text);
    return 0;
}
