#pragma once
// The exit status of a library command from what the editor operation did:
// 0 done, 1 a file that could not be written (the reason on the error
// stream), 2 anything refused, declined or not found (nothing written).
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "library/edit_outcome.h"

namespace brindle::cli {

inline int exitStatusFor(const library::EditResult& result, CommandContext& context,
                         const std::string& command) {
    switch (result.outcome) {
        case library::EditOutcome::Done:
            return kExitOk;
        case library::EditOutcome::Failed:
            context.err << "brindle-cli " << command << ": " << result.failure.message() << "\n";
            return kExitCannotWrite;
        default:
            return kExitBadInput;
    }
}

}  // namespace brindle::cli
