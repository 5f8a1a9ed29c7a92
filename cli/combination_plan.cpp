#include "cli/combination_plan.h"

#include <ostream>

#include "base/text.h"
#include "cli/cli_io.h"
#include "state/eeprom_layout.h"
#include "store/databases.h"
#include "store/file_names.h"

namespace brindle::cli {

std::variant<download::DownloadPlan, int> planNamedCombination(const ParsedOptions& options,
                                                               CommandContext& context,
                                                               const SerialSetup& setup,
                                                               const std::string& command,
                                                               bool showNotes) {
    const std::string& dir = setup.state.DataDir;
    if (!libraryUsable(context, command, dir) || !libraryWhole(context, command, dir)) {
        return kExitFailure;
    }
    const std::string combo = base::fixedWidth(options.value("--combo"), store::kComboNameWidth);
    download::PlanResult plan = download::planDownload(dir, combo, state::kMacroArea);
    if (!plan) {
        context.err << "brindle-cli " << command << ": " << plan.message() << "\n";
        return kExitBadInput;
    }
    if (!*plan) {
        context.err << "brindle-cli " << command << ": no combination named \""
                    << base::trimTrailingBlanks(combo) << "\" in " << dir << store::kComboDbFile
                    << "\n";
        return kExitBadInput;
    }
    if (showNotes) {
        for (const download::PlannedMacro& macro : (*plan)->macros) {
            for (const std::string& note : macro.notes) {
                context.err << "brindle-cli " << command << ": note: macro \""
                            << escapedForError(context, base::trimTrailingBlanks(macro.record.Name))
                            << "\": " << escapedForError(context, note) << "\n";
            }
        }
    }
    return std::move(**plan);
}

}  // namespace brindle::cli
