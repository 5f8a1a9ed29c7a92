// brindle-cli: the core's operations from a terminal, for scripts and checks.
#include <algorithm>
#include <iomanip>
#include <iostream>

#include <unistd.h>

#include "base/version.h"
#include "cli/cli_io.h"
#include "cli/commands.h"

namespace {

// Which folder the commands use without --data, and why.
void printDataFolder(std::ostream& out) {
    const auto folder = brindle::cli::defaultDataFolder(false);
    if (!folder) {
        out << "\nData folder: none (" << folder.message() << ")\n";
        return;
    }
    out << "\nData folder (without --data): " << folder->path << "\n"
        << (folder->userFolder
                ? "  the user's data folder ($XDG_DATA_HOME/brindle, by default\n"
                  "  ~/.local/share/brindle): the program's folder is not the user's.\n"
                : "  the program's own folder, which can be written.\n");
}

void printUsage(std::ostream& out) {
    out << "Usage: brindle-cli COMMAND [OPTIONS] [ARGS]\n\nCommands:\n";
    for (const brindle::cli::Command& command : brindle::cli::commandTable()) {
        out << "  " << std::left << std::setw(14) << command.name << command.summary << "\n";
    }
    out << "\n'brindle-cli COMMAND --help' describes one command; 'brindle-cli --version'\n"
           "prints the version.\n";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brindle::cli;
    std::ios::sync_with_stdio(false);
    if (argc < 2) {
        printUsage(std::cerr);
        return kExitBadInput;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        printDataFolder(std::cout);
        return kExitOk;
    }
    if (name == "--version") {
        std::cout << "brindle-cli " << brindle::base::kVersion << "\n";
        return kExitOk;
    }
    const auto& table = commandTable();
    auto command =
        std::find_if(table.begin(), table.end(), [&](const Command& c) { return name == c.name; });
    if (command == table.end()) {
        std::cerr << "brindle-cli: unknown command " << name << "\n";
        printUsage(std::cerr);
        return kExitBadInput;
    }
    const auto dataFolder = defaultDataFolder(false);
    CommandContext context{std::cin,
                           std::cout,
                           std::cerr,
                           dataFolder ? dataFolder->path : programFolder(argv[0]),
                           styleForStream(STDOUT_FILENO),
                           styleForStream(STDERR_FILENO)};
    Arguments args(argv + 2, argv + argc);
    int status = command->run(args, context);
    std::cout.flush();
    printLibraryNotes(std::cerr);
    return status;
}
