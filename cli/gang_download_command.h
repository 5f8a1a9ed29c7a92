#pragma once
// "brindle-cli download --combo NAME --port A --port B ...": one combination
// into the Macro Modules on several lines at once; "brindle-cli restore FILE
// --port A --port B ...": one backup into them.
#include "cli/commands.h"

namespace brindle::cli {

// Called by the download command when --port is given more than once.
int runGangDownload(const Arguments& args, CommandContext& context);
// Called by the restore command when --port is given more than once.
int runGangRestore(const Arguments& args, CommandContext& context);

}  // namespace brindle::cli
