#pragma once
// "brindle-cli download --combo NAME --port A --port B ...": one combination
// into the Macro Modules on several lines at once.
#include "cli/commands.h"

namespace brindle::cli {

// Called by the download command when --port is given more than once.
int runGangDownload(const Arguments& args, CommandContext& context);

}  // namespace brindle::cli
