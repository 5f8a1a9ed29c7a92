#include "download/image_assembly.h"

#include <algorithm>

#include "base/text.h"
#include "download/image_layout.h"

namespace brindle::download {

std::string assembleImage(std::string_view blockdat) {
    std::string image;
    image.reserve(blockdat.size());
    for (std::size_t i = 0; i < blockdat.size(); ++i) {
        char c = blockdat[i];
        if (c == base::LF && !(i >= 5 && blockdat.substr(i - 5, 5) == "MACRO")) {
            continue;
        }
        image.push_back(c);
    }
    return image;
}

JumpResolution resolveJumps(std::string& image, const CompileTables& tables, int imageOffset,
                            const bool& CancelFlag) {
    JumpResolution result;
    for (const JumpEntry& jump : tables.jumps) {
        if (CancelFlag) {
            result.cancelled = true;
            return result;
        }
        auto label = std::find_if(tables.labels.begin(), tables.labels.end(),
                                  [&](const LabelEntry& l) { return l.name == jump.target; });
        if (label == tables.labels.end()) {
            result.unresolved.push_back(jump.target);
            continue;
        }
        long location = static_cast<long>(kMacroAreaStart) + imageOffset + label->offset;
        if (location > kLastLocation) {
            result.problem = "the jump to \"" + jump.target + "\" would need location " +
                             std::to_string(location) + ", beyond " + std::to_string(kLastLocation);
            return result;
        }
        std::size_t at = static_cast<std::size_t>(jump.position) - 1;
        if (jump.position < 1 || at + 2 > image.size()) {
            result.problem =
                "the place holder of the jump to \"" + jump.target + "\" lies outside the image";
            return result;
        }
        image[at] = static_cast<char>(static_cast<unsigned char>(location / 256));
        image[at + 1] = static_cast<char>(static_cast<unsigned char>(location % 256));
    }
    return result;
}

}  // namespace brindle::download
