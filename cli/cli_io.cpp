#include "cli/cli_io.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>

#include "base/text.h"
#include "cli/shown_text.h"
#include "store/databases.h"
#include "store/library_journal.h"
#include "store/library_lock.h"
#include "store/records.h"

namespace brindle::cli {

std::optional<std::string> readInput(const std::string& path, CommandContext& context) {
    if (path.empty() || path == "-") {
        return std::string(std::istreambuf_iterator<char>(context.in),
                           std::istreambuf_iterator<char>());
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        context.err << "brindle-cli: cannot read " << path << "\n";
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool fitsMacroField(const std::string& command, std::string_view text, CommandContext& context) {
    if (text.size() <= store::kMacroBodyWidth) {
        return true;
    }
    context.err << "brindle-cli " << command << ": the text has " << text.size()
                << " characters; a macro holds at most " << store::kMacroBodyWidth << "\n";
    return false;
}

void writeBytes(std::ostream& out, std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string hexPairs(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        if (!out.empty()) {
            out.push_back(' ');
        }
        out.push_back(kDigits[u >> 4]);
        out.push_back(kDigits[u & 0xF]);
    }
    return out;
}

std::string programFolder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error && argv0 != nullptr) {
        exe = fs::absolute(argv0, error);
    }
    fs::path folder = error ? fs::current_path(error) : exe.parent_path();
    return base::withTrailingSlash(folder.string());
}

base::Result<store::DataFolder> defaultDataFolder(bool create) {
    const std::string folder = programFolder(nullptr);
    return create ? store::locateDataFolder(folder)
                  : store::chooseDataFolder(store::dataFolderFacts(folder));
}

int usageError(CommandContext& context, const std::string& command, const std::string& problem) {
    context.err << "brindle-cli " << command << ": " << problem << "\n"
                << "Try 'brindle-cli " << command << " --help'.\n";
    return kExitBadInput;
}

std::string escapedForError(const CommandContext& context, std::string_view text) {
    // Messages are read by people, wherever they go: always the escaped form.
    return shownText(text, TextStyle{true, context.errStyle.utf8});
}

std::string quotedForError(const CommandContext& context, std::string_view text) {
    return "\"" + escapedForError(context, text) + "\"";
}

bool fitsField(CommandContext& context, const std::string& command, const std::string& what,
               std::string_view text, std::size_t width) {
    const std::size_t length = base::trimTrailingBlanks(text).size();
    if (length <= width) {
        return true;
    }
    context.err << "brindle-cli " << command << ": the " << what << " "
                << quotedForError(context, text) << " has " << length << " characters; a " << what
                << " holds at most " << width << "\n";
    return false;
}

bool printableName(CommandContext& context, const std::string& command, const std::string& what,
                   std::string_view name) {
    if (base::holdsControlByte(name)) {
        context.err << "brindle-cli " << command << ": the " << what << " "
                    << quotedForError(context, name)
                    << " holds a control character; a name is printable text\n";
        return false;
    }
    return true;
}

bool libraryUsable(CommandContext& context, const std::string& command, const std::string& dataDir,
                   Uses uses) {
    if (base::Status usable =
            store::checkDatabases(dataDir, uses != Uses::Combinations, uses != Uses::Macros);
        !usable) {
        context.err << "brindle-cli " << command << ": "
                    << escapedForError(context, usable.message()) << "\n";
        return false;
    }
    return true;
}

bool libraryWhole(CommandContext& context, const std::string& command, const std::string& dataDir) {
    if (store::interruptedWriteWaits(dataDir)) {
        context.err << "brindle-cli " << command << ": a write to the library in " << dataDir
                    << " was interrupted and waits to be finished by the next command that "
                       "changes it (add-macro, add-combo, delete-macro, ...); nothing was sent\n";
        return false;
    }
    return true;
}

void printLibraryNotes(std::ostream& err) {
    for (const std::string& note : store::takeLibraryNotes()) {
        err << "brindle-cli: " << note << "\n";
    }
}

}  // namespace brindle::cli
