#include "cli/commands.h"

namespace brindle::cli {

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"normalise", "rewrite a macro text's status arguments and jump shorthand", runNormalise},
        {"compile", "compile a macro text into the image the Macro Module stores", runCompile},
    };
    return table;
}

}  // namespace brindle::cli
