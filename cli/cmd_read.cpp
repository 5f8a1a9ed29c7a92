// brindle-cli read: the Read E2prom button from a terminal.
#include <ostream>

#include <unistd.h>

#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/serial_session.h"
#include "cli/stream_prompter.h"
#include "cli/terminal_utility_view.h"
#include "utilities/read_back.h"
#include "utilities/save_to_file.h"

namespace brindle::cli {
namespace {

constexpr const char* kHelp =
    "Usage: brindle-cli read [--out FILE] [--data DIR] [--port DEVICE] [--baud N]\n"
    "                        [--tick-ms N] [--monitor]\n"
    "\n"
    "Reads the Macro Module's E2PROM back as the Read back tab does: the stored\n"
    "macros as text, jumps shown as offsets into the macro area with a label line\n"
    "before their target. The text goes, as raw bytes with lines ended by CR LF,\n"
    "to FILE (replaced as a whole) or to standard output. Then standard error gets\n"
    "  Macro Id: V\n"
    "  Boot Macro: V\n"
    "  # of Macros: V\n"
    "with V the byte at location 0, 1 or 2 in decimal, or \"Read Failed\" (nothing\n"
    "for Macro Id) when the module did not answer; a module without a complete\n"
    "download shows BLANK and no values. The work file e2read.tmp is left in DIR.\n"
    "--data, --port, --baud, --tick-ms and --monitor are those of 'brindle-cli\n"
    "download'.\n"
    "\n"
    "Exit status: 0 after a read, 1 when a macro is running (nothing is sent), when\n"
    "the text or a value reads \"Read Failed\" or the port fails, 2 for usage errors,\n"
    "130 when cancelled with Ctrl-C (or SIGTERM).\n";

// A location value as the field shows it, without the field's leading blank.
std::string valueText(utilities::HeaderField field, const std::optional<uint8_t>& value,
                      bool read) {
    if (!read) {
        return {};
    }
    return value ? std::to_string(*value) : utilities::headerFieldText(field, value);
}

bool complete(const utilities::ReadBackResult& result) {
    const bool valuesMissing =
        result.locationsRead && (!result.macroId || !result.bootMacro || !result.macroCount);
    return !result.readFailed && !valuesMissing && !result.cutShort;
}

}  // namespace

int runRead(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert("--out");
    ParsedOptions options = parseOptions(args, valueOptions, kSerialFlags);
    if (options.flags.count("--help")) {
        context.out << kHelp;
        return kExitOk;
    }
    if (!options.error.empty() || !options.positional.empty()) {
        return usageError(context, "read",
                          !options.error.empty() ? options.error : "read takes no arguments");
    }
    if (options.has("--out") && options.value("--out").empty()) {
        return usageError(context, "read", "--out needs a file name");
    }
    std::optional<SerialSetup> setup = serialSetup(options, context, "read");
    if (!setup) {
        return kExitBadInput;
    }

    TerminalUtilityView view(context.err, ::isatty(STDERR_FILENO) != 0);
    StreamPrompter prompter(context.err);
    SerialSession session(*setup, view, view);
    prompter.quietWhile(setup->state.Closing);
    const utilities::ReadBackResult result = utilities::ReadE2prom(
        session.ctx(), view, prompter, utilities::workFilePath(setup->state.DataDir));
    if (session.interrupted()) {
        session.port().SetPortOpen(false);
        return *session.abnormalEnd(context, "read",
                                    "the read-back did not finish; no text was written out");
    }
    if (result.outcome == utilities::ReadOutcome::Busy) {
        session.reportPortFailure(context, "read");
        return kExitFailure;
    }
    if (!result.workFile) {
        context.err << "note: " << result.workFile.message() << "\n";
    }

    bool saved = true;
    if (options.has("--out")) {
        saved = utilities::SaveToFile(options.value("--out"), result.text, prompter).ok();
    } else {
        writeBytes(context.out, result.text);
        context.out.flush();
    }
    using utilities::HeaderField;
    context.err << "Macro Id: "
                << valueText(HeaderField::MacroId, result.macroId, result.locationsRead) << "\n"
                << "Boot Macro: "
                << valueText(HeaderField::BootMacro, result.bootMacro, result.locationsRead) << "\n"
                << "# of Macros: "
                << valueText(HeaderField::MacroCount, result.macroCount, result.locationsRead)
                << "\n";
    const bool portFailed = session.reportPortFailure(context, "read");
    session.port().SetPortOpen(false);
    return saved && !portFailed && complete(result) ? kExitOk : kExitFailure;
}

}  // namespace brindle::cli
