// brindle-cli compile: one macro text compiled into its E2PROM image.
#include <charconv>
#include <filesystem>
#include <ostream>

#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "download/image_prepare.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli compile [--offset N] [--hex] [--name NAME] [--data DIR] [FILE]\n"
    "\n"
    "Reads a macro text from FILE (or standard input) and prepares it exactly\n"
    "as a download does: blanks trimmed, upper case, status arguments\n"
    "rewritten, lines compiled, jumps resolved for an image that starts N bytes\n"
    "into the macro area (default 0, i.e. location 3586). Writes the image to\n"
    "standard output as raw bytes, or with --hex as upper-case hex pairs on one\n"
    "line. NAME names the macro in messages (default: the file's name). The\n"
    "work files Macro.Tmp and Blockdat.Tmp are left in DIR (default: the\n"
    "data folder that 'brindle-cli --help' names).\n"
    "\n"
    "A macro that cannot be compiled correctly, or a text longer than a macro\n"
    "holds (16332 characters), is refused: a message on standard error,\n"
    "nothing on standard output, exit status 2.\n"
    "\n"
    "What the image does not keep as written is noted on standard error, one\n"
    "\"note:\" line each (the image is still written): line breaks that are a LF\n"
    "alone (they do not end a line), a status argument above\n"
    "65535 or a MACRO number above 255, and a jump to a label the macro does\n"
    "not define. Save Macro warns of the same.\n"
    "\n"
    "Exit status: 0 on success, 2 on bad input or usage.\n";

bool parseOffset(const std::string& text, int& offset) {
    const char* first = text.data();
    const char* last = first + text.size();
    auto [end, error] = std::from_chars(first, last, offset);
    return error == std::errc() && end == last && !text.empty();
}

}  // namespace

int runCompile(const Arguments& args, CommandContext& context) {
    const ParsedOptions options = parseOptions(args, {"--offset", "--name", "--data"}, {"--hex"});
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty()) {
        return usageError(context, "compile", options.error);
    }
    if (options.positional.size() > 1) {
        return usageError(context, "compile", "only one FILE may be given");
    }
    int offset = 0;
    if (options.has("--offset") &&
        (!parseOffset(options.value("--offset"), offset) || offset < 0)) {
        return usageError(context, "compile", "--offset needs a number of 0 or more");
    }
    if (options.has("--name") && options.value("--name").empty()) {
        return usageError(context, "compile", "--name needs a name");
    }
    const bool hex = options.flags.count("--hex") > 0;
    const std::string file = options.positional.empty() ? std::string() : options.positional[0];
    std::string name = options.value("--name");
    context.dataDir = options.dataFolder(context.dataDir);
    if (name.empty()) {
        name = (file.empty() || file == "-") ? std::string("standard input")
                                             : std::filesystem::path(file).filename().string();
    }

    std::optional<std::string> text = readInput(file, context);
    if (!text || !fitsMacroField("compile", *text, context)) {
        return kExitBadInput;
    }
    const bool CancelFlag = false;
    download::ImageResult result =
        download::prepareMacroImage(context.dataDir, name, *text, offset, CancelFlag);
    if (!result) {
        context.err << "brindle-cli compile: " << result.message() << "\n";
        return kExitBadInput;
    }
    for (const std::string& note : result->notes) {
        context.err << "brindle-cli compile: note: " << escapedForError(context, note) << "\n";
    }
    if (hex) {
        context.out << hexPairs(result->bytes) << "\n";
    } else {
        writeBytes(context.out, result->bytes);
    }
    return kExitOk;
}

}  // namespace brindle::cli
