// brindle-cli normalise: the status-argument rewrite of a macro text.
#include <ostream>

#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "macrotext/status_arguments.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli normalise [--data DIR] [FILE]\n"
    "\n"
    "Reads a macro text from FILE (or standard input) and writes the text as a\n"
    "download rewrites it before compiling: every line upper-cased, the jump\n"
    "shorthand split into a status-jump line and a GOTO line, ST and STJ\n"
    "arguments as four hex digits, every line ending in CR. The output is raw\n"
    "bytes. The work file Macro.Tmp is left in DIR (default: the data folder\n"
    "that 'brindle-cli --help' names). A text longer than a macro holds (16332\n"
    "characters) is refused.\n"
    "\n"
    "Exit status: 0 on success, 2 on bad input or usage.\n";

}  // namespace

int runNormalise(const Arguments& args, CommandContext& context) {
    const ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty()) {
        return usageError(context, "normalise", options.error);
    }
    if (options.positional.size() > 1) {
        return usageError(context, "normalise", "only one FILE may be given");
    }
    const std::string file = options.positional.empty() ? std::string() : options.positional[0];
    context.dataDir = options.dataFolder(context.dataDir);

    std::optional<std::string> text = readInput(file, context);
    if (!text || !fitsMacroField("normalise", *text, context)) {
        return kExitBadInput;
    }
    base::Result<std::string> result = macrotext::PrepareStatusArguments(context.dataDir, *text);
    if (!result) {
        context.err << "brindle-cli normalise: " << result.message() << "\n";
        return kExitBadInput;
    }
    writeBytes(context.out, *result);
    return kExitOk;
}

}  // namespace brindle::cli
