#pragma once
// The plan of the combination that --combo names, made before any port is
// opened, so that an unusable library, an unknown name or a combination that
// cannot be downloaded ends the command as an input error with nothing sent.
#include <string>
#include <variant>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/serial_session.h"
#include "download/download_plan.h"

namespace brindle::cli {

// The plan, or the exit status the command ends with. With showNotes, what
// the compiler notes of each macro goes to standard error.
std::variant<download::DownloadPlan, int> planNamedCombination(const ParsedOptions& options,
                                                               CommandContext& context,
                                                               const SerialSetup& setup,
                                                               const std::string& command,
                                                               bool showNotes);

}  // namespace brindle::cli
