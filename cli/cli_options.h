#pragma once
// A small option reader for the commands that take "--name VALUE" options and
// positional arguments.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace brindle::cli {

struct ParsedOptions {
    std::map<std::string, std::string> values;  // "--data" -> "DIR"
    std::set<std::string> flags;                // "--help"
    std::vector<std::string> positional;
    std::string error;  // set when the words are off

    bool has(const std::string& name) const { return values.count(name) > 0; }
    std::string value(const std::string& name, const std::string& fallback = {}) const {
        auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
    // The folder of --data, with a trailing separator, or the fallback.
    std::string dataFolder(const std::string& fallback) const;
};

// valueOptions take one value each; flagOptions take none. "--help" and "-h"
// are always flags; any other word that starts with '-' (but "-" alone) is an
// unknown option, up to a word "--", after which every word is an argument
// (so that a name can begin with '-'). "--data-dir" is read as "--data",
// which may not be empty.
//
// A command that takes "--data" works in a data folder: the one named, or
// the default one (defaultDataFolder, created here on its first use). Unless help was asked for, a
// folder that does not exist, is not a folder or cannot be read is an error that says why, so that
// no command answers a mistyped folder with an empty success.
ParsedOptions parseOptions(const Arguments& args, const std::set<std::string>& valueOptions,
                           const std::set<std::string>& flagOptions = {});

// Why the folder cannot serve as the data folder, or nothing when it can.
std::optional<std::string> dataFolderProblem(const std::string& folder);

// A folder name with a trailing separator.
std::string asFolder(std::string folder);

// A whole number from text (digits with an optional sign), or nothing.
std::optional<long> wholeNumber(const std::string& text);
// The same, only from low to high.
std::optional<long> wholeNumberIn(const std::string& text, long low, long high);

}  // namespace brindle::cli
