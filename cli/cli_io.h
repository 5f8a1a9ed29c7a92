#pragma once
// Input, output and places shared by the commands.
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "cli/commands.h"
#include "store/data_folder.h"

namespace brindle::cli {

// All bytes of path, or of the context's input when path is empty or "-".
// Nothing, after a message on the error stream, when the file cannot be read.
std::optional<std::string> readInput(const std::string& path, CommandContext& context);

// Whether text fits the text field of a macro record. When it does not, the
// message names the limit and the text's length, and nothing else is done:
// a longer text could never be stored, so it is not rewritten either.
bool fitsMacroField(const std::string& command, std::string_view text, CommandContext& context);

void writeBytes(std::ostream& out, std::string_view bytes);

// The bytes as upper-case hex pairs separated by blanks.
std::string hexPairs(std::string_view bytes);

// The folder of the running executable, with a trailing separator.
std::string programFolder(const char* argv0);

// The data folder of a command run without --data, as for the window
// (store/data_folder.h); the reason when there is none. `create` makes a
// user's data folder now, on its first use.
base::Result<store::DataFolder> defaultDataFolder(bool create);

// The message every command prints for a usage error; returns kExitBadInput.
int usageError(CommandContext& context, const std::string& command, const std::string& problem);

// A text from the databases or the command line, in quotes and escaped as a
// terminal shows stored texts (shown_text.h), wherever the messages go.
std::string quotedForError(const CommandContext& context, std::string_view text);
// The same without the quotes.
std::string escapedForError(const CommandContext& context, std::string_view text);

// Whether a text fits a field of `width` characters once its trailing blanks
// are left off (they never count). When it does not, a message gives the
// limit: cut to fit, a name would stand for another record. `what` names
// the field ("macro name", "combination name", "version").
bool fitsField(CommandContext& context, const std::string& command, const std::string& what,
               std::string_view text, std::size_t width);

// Whether a name for a new record holds no control character (a line break,
// an escape sequence); otherwise a message says so. Such a name could not be
// typed in the window nor listed one name a line.
bool printableName(CommandContext& context, const std::string& command, const std::string& what,
                   std::string_view name);

// Whether the databases of dataDir can be read and written (store::
// checkDatabases); otherwise a message names the file and the reason (a
// link, a FIFO, a folder, a device, too many records). Every command that
// reads or writes the library asks first: a listing of a pipe is no empty
// library, nor a look-up in it "no such name".
enum class Uses { Macros, Combinations, Both };
bool libraryUsable(CommandContext& context, const std::string& command, const std::string& dataDir,
                   Uses uses = Uses::Both);

// Whether no interrupted write waits to be finished in dataDir; otherwise a
// message says so. What goes to the controller must not hold half a write.
bool libraryWhole(CommandContext& context, const std::string& command, const std::string& dataDir);

// Prints, once each, what the library's files gave to know that is no
// failure (a leftover file not used, a write still to be finished).
void printLibraryNotes(std::ostream& err);

}  // namespace brindle::cli
