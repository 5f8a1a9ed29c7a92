#pragma once
// brindle-cli's commands. Each command is one function in its own file
// (cmd_<name>.cpp) and one row of the table in commands.cpp; main() only picks
// the row. Every command answers --help, returns kExitOk on success and
// kExitBadInput on bad input or usage (kExitCannotWrite for a file that
// cannot be written).
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/shown_text.h"

namespace brindle::cli {

constexpr int kExitOk = 0;
// A failure the operation reports (a failed download, an unconfirmed
// command) or a file that cannot be written.
constexpr int kExitFailure = 1;
constexpr int kExitCannotWrite = kExitFailure;
constexpr int kExitBadInput = 2;

// What a command may touch: its streams and the program's data folder (with a
// trailing separator), where the work files go; and how stored texts are
// shown on the output and error streams (shown_text.h).
struct CommandContext {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    std::string dataDir;
    TextStyle outStyle;
    TextStyle errStyle;
};

using Arguments = std::vector<std::string>;
using CommandFunction = int (*)(const Arguments& args, CommandContext& context);

struct Command {
    const char* name;
    const char* summary;
    CommandFunction run;
};

int runNormalise(const Arguments& args, CommandContext& context);
int runCompile(const Arguments& args, CommandContext& context);
int runMacros(const Arguments& args, CommandContext& context);
int runCombos(const Arguments& args, CommandContext& context);
int runShowCombo(const Arguments& args, CommandContext& context);
int runAddMacro(const Arguments& args, CommandContext& context);
int runAddCombo(const Arguments& args, CommandContext& context);
int runShowMacro(const Arguments& args, CommandContext& context);
int runDeleteMacro(const Arguments& args, CommandContext& context);
int runDeleteCombo(const Arguments& args, CommandContext& context);
int runInsert(const Arguments& args, CommandContext& context);
int runUnlink(const Arguments& args, CommandContext& context);
int runExport(const Arguments& args, CommandContext& context);
int runImport(const Arguments& args, CommandContext& context);
int runDownload(const Arguments& args, CommandContext& context);
int runRead(const Arguments& args, CommandContext& context);
int runVerify(const Arguments& args, CommandContext& context);
int runBackup(const Arguments& args, CommandContext& context);
int runRestore(const Arguments& args, CommandContext& context);
int runExec(const Arguments& args, CommandContext& context);
int runCancel(const Arguments& args, CommandContext& context);
int runMonitor(const Arguments& args, CommandContext& context);
int runClear(const Arguments& args, CommandContext& context);
int runPorts(const Arguments& args, CommandContext& context);

const std::vector<Command>& commandTable();

}  // namespace brindle::cli
