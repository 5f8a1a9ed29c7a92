// brindle-cli export, import: the whole library as plain text files that a
// person can read, diff and keep under version control.
#include <ostream>

#include "cli/cli_io.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/edit_status.h"
#include "library/library_exchange.h"

namespace brindle::cli {
namespace {

constexpr const char* kExportHelp =
    "Usage: brindle-cli export [--data DIR] FOLDER\n"
    "\n"
    "Writes the macro library of DIR into FOLDER as plain text:\n"
    "  macros/NAME.txt    each macro's text, byte for byte\n"
    "  macros.txt         the macro names and their files, in record order\n"
    "  combinations.txt   each combination's fields and its sequence, as\n"
    "                     positions and macro names\n"
    "Names that are not safe as file names are written with %HH escapes.\n"
    "FOLDER must be missing, empty or an earlier export (macro files no longer\n"
    "in the library are then removed). Exit status 2 when FOLDER cannot be used\n"
    "or two macros share a name, 1 when a file cannot be written.\n";

constexpr const char* kImportHelp =
    "Usage: brindle-cli import [--data DIR] FOLDER\n"
    "\n"
    "Reads an export made by 'brindle-cli export' from FOLDER into DIR, whose\n"
    "databases must hold no macros or combinations yet. Every macro text,\n"
    "combination field and sequence position comes back exactly. Everything is\n"
    "checked first: exit status 2 (nothing written) for a damaged export, 1 when\n"
    "a database cannot be written.\n";

int exchange(const Arguments& args, CommandContext& context, const char* command,
             const char* helpText,
             library::ExchangeResult (*run)(const std::string&, const std::string&)) {
    ParsedOptions options = parseOptions(args, {"--data"});
    if (options.flags.count("--help")) {
        context.out << helpText;
        return kExitOk;
    }
    if (!options.error.empty() || options.positional.size() != 1) {
        return usageError(context, command,
                          options.error.empty() ? "give exactly one FOLDER" : options.error);
    }
    const std::string& folder = options.positional[0];
    library::ExchangeResult result = run(options.dataFolder(context.dataDir), folder);
    if (result.outcome == library::EditOutcome::Refused) {
        context.err << "brindle-cli " << command << ": " << result.problem << "\n";
    }
    if (result.outcome == library::EditOutcome::Done) {
        context.out << result.macros << " macros and " << result.combinations << " combinations\n";
    }
    return exitStatusFor(result, context, command);
}

}  // namespace

int runExport(const Arguments& args, CommandContext& context) {
    return exchange(args, context, "export", kExportHelp, library::exportLibrary);
}

int runImport(const Arguments& args, CommandContext& context) {
    return exchange(args, context, "import", kImportHelp, library::importLibrary);
}

}  // namespace brindle::cli
