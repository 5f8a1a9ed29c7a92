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
    "bytes. The work file Macro.Tmp is left in DIR (default: the program's\n"
    "folder).\n"
    "\n"
    "Exit status: 0 on success, 2 on bad input or usage.\n";

}  // namespace

int runNormalise(const Arguments& args, CommandContext& context) {
    std::string file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            context.out << kHelp;
            return kExitOk;
        }
        if (arg == "--data" || arg == "--data-dir") {
            if (++i == args.size()) {
                return usageError(context, "normalise", "--data needs a folder");
            }
            const std::string& folder = args[i];
            if (folder.empty()) {
                return usageError(context, "normalise", "--data needs a folder");
            }
            context.dataDir = asFolder(folder);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError(context, "normalise", "unknown option " + arg);
        } else if (!file.empty()) {
            return usageError(context, "normalise", "only one FILE may be given");
        } else {
            file = arg;
        }
    }

    std::optional<std::string> text = readInput(file, context);
    if (!text) {
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
