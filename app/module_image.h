#pragma once
// "Save Image..." on the Read back tab: what a backup read must have found
// before its image may be saved, and what to tell the user when it has not.
#include <string>

#include "base/prompter.h"
#include "contents/module_reading.h"
#include "link/link_context.h"

namespace brindle::app {

// The locations a backup needs but the read could not be sure of:
// unreadEntries (header and start-table locations that could not be read),
// location 3, the start entries and names of the slots in use, and the macro
// area from its start to the last byte known or the last image's start,
// whichever lies further.
int unsureBackupLocations(const contents::ModuleContents& held, int unreadEntries);

struct ImageReadProblem {
    std::string text;  // empty: the image may be saved
    base::Icon icon = base::Icon::Critical;
};

ImageReadProblem imageReadProblem(contents::ReadingEnd end, const contents::ModuleContents& held,
                                  int unreadEntries, const link::LinkContext& ctx);

}  // namespace brindle::app
