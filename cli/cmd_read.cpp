// brindle-cli read: the Read E2prom button from a terminal.
#include <algorithm>
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
    "Usage: brindle-cli read [--once] [--out FILE] [--data DIR] [--port DEVICE]\n"
    "                        [--baud N] [--tick-ms N] [--monitor]\n"
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
    "\n"
    "The dump carries no checksum, so the module is read twice (dump and values)\n"
    "and the two readings must agree; when they do not, nothing is written out and\n"
    "the first place where they differ is named. --once reads once, as the window\n"
    "does.\n"
    "--data, --port, --baud, --tick-ms and --monitor are those of 'brindle-cli\n"
    "download'.\n"
    "\n"
    "Exit status: 0 after a read, 1 when a macro is running (nothing is sent), when\n"
    "the text or a value reads \"Read Failed\", the module did not stop sending, the\n"
    "two readings differ or the port fails, 2 for usage errors,\n"
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
    return !result.readFailed && !valuesMissing && !result.cutShort && !result.cancelled;
}

std::string shownValue(const std::optional<uint8_t>& value) {
    return value ? std::to_string(*value) : "none";
}

// Where two readings of one module part, in words; empty when they agree.
std::string firstDifference(const utilities::ReadBackResult& first,
                            const utilities::ReadBackResult& second) {
    const std::string& a = first.text;
    const std::string& b = second.text;
    const auto [at, other] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (at != a.end() || other != b.end()) {
        const auto offset = static_cast<std::size_t>(at - a.begin());
        const std::string before = a.substr(0, offset);
        const std::size_t line =
            static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
        const std::size_t lineStart = before.rfind('\n');
        const std::size_t column = lineStart == std::string::npos ? offset + 1 : offset - lineStart;
        return "the text differs at byte " + std::to_string(offset) + " (line " +
               std::to_string(line) + ", column " + std::to_string(column) + "; the readings are " +
               std::to_string(a.size()) + " and " + std::to_string(b.size()) + " bytes long)";
    }
    const struct {
        const char* name;
        const std::optional<uint8_t>& one;
        const std::optional<uint8_t>& two;
    } values[] = {{"Macro Id", first.macroId, second.macroId},
                  {"Boot Macro", first.bootMacro, second.bootMacro},
                  {"# of Macros", first.macroCount, second.macroCount}};
    for (const auto& v : values) {
        if (v.one != v.two) {
            return std::string(v.name) + " differs (" + shownValue(v.one) + ", then " +
                   shownValue(v.two) + ")";
        }
    }
    return {};
}

// Reads the module a second time; what keeps the first reading from being
// confirmed, in words, or empty when the two agree.
std::string secondReadingDifference(SerialSession& session, TerminalUtilityView& view,
                                    StreamPrompter& prompter, const std::string& workFile,
                                    const utilities::ReadBackResult& first) {
    const utilities::ReadBackResult again =
        utilities::readE2prom(session.ctx(), view, prompter, workFile);
    if (session.interrupted()) {
        return {};
    }
    if (again.outcome == utilities::ReadOutcome::Busy) {
        return "the controller was busy at the second reading";
    }
    if (complete(again)) {
        const std::string where = firstDifference(first, again);
        return where.empty() ? std::string() : "the two readings of the module differ: " + where;
    }
    return session.port().failure().empty()
               ? "the second reading failed, so the first cannot be confirmed"
               : std::string();
}

}  // namespace

int runRead(const Arguments& args, CommandContext& context) {
    std::set<std::string> valueOptions = kSerialOptions;
    valueOptions.insert("--out");
    std::set<std::string> flags = kSerialFlags;
    flags.insert("--once");
    ParsedOptions options = parseOptions(args, valueOptions, flags);
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
    prompter.quietWhile(session.closing());
    const std::string workFile = utilities::workFilePath(setup->state.DataDir);
    const utilities::ReadBackResult result =
        utilities::readE2prom(session.ctx(), view, prompter, workFile);
    // A second reading, to be compared, only of a first one that is whole:
    // anything less fails on its own.
    const std::string difference =
        !options.flags.count("--once") && !session.interrupted() &&
                result.outcome == utilities::ReadOutcome::Read && complete(result) &&
                session.port().failure().empty()
            ? secondReadingDifference(session, view, prompter, workFile, result)
            : std::string();
    // Only Ctrl-C ends a read abnormally: a read that failed otherwise still
    // shows what it read, "Read Failed" where it failed.
    const SerialEnd end = session.finish(context, "read", !session.interrupted(),
                                         "the read-back did not finish; no text was written out");
    if (end.status) {
        return *end.status;
    }
    if (result.outcome == utilities::ReadOutcome::Busy) {
        return kExitFailure;
    }
    if (!result.workFile) {
        context.err << "note: " << result.workFile.message() << "\n";
    }
    if (!difference.empty()) {
        context.err << "brindle-cli read: " << difference << "; nothing was written out\n";
        return kExitFailure;
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
    return saved && !end.portFailed && complete(result) ? kExitOk : kExitFailure;
}

}  // namespace brindle::cli
