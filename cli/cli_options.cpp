#include "cli/cli_options.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"
#include "cli/cli_io.h"

namespace brindle::cli {

ParsedOptions parseOptions(const Arguments& args, const std::set<std::string>& valueOptions,
                           const std::set<std::string>& flagOptions) {
    ParsedOptions parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;  // a name may begin with '-'
            continue;
        }
        if (arg == "--data-dir") {
            arg = "--data";  // the older spelling
        }
        if (arg == "--help" || arg == "-h") {
            parsed.flags.insert("--help");
        } else if (valueOptions.count(arg)) {
            if (i + 1 >= args.size()) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            parsed.values[arg] = args[++i];
            if (arg == "--data" && parsed.values[arg].empty()) {
                parsed.error = "--data needs a folder";
                return parsed;
            }
        } else if (flagOptions.count(arg)) {
            parsed.flags.insert(arg);
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
            return parsed;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    if (valueOptions.count("--data") > 0 && parsed.flags.count("--help") == 0) {
        if (parsed.has("--data")) {
            if (auto problem = dataFolderProblem(parsed.value("--data"))) {
                parsed.error = *problem;
            }
        } else if (const auto folder = defaultDataFolder(true); !folder) {
            parsed.error = folder.message();
        } else if (auto problem = dataFolderProblem(folder->path)) {
            parsed.error = *problem;
        }
    }
    return parsed;
}

std::optional<std::string> dataFolderProblem(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return "the data folder " + folder + " does not exist";
        }
        return "the data folder " + folder + " cannot be examined (" + std::strerror(errno) + ")";
    }
    if (!S_ISDIR(st.st_mode)) {
        return "the data folder " + folder + " is not a folder";
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return "the data folder " + folder + " cannot be read (" + std::strerror(errno) + ")";
    }
    ::close(fd);
    return std::nullopt;
}

std::string asFolder(std::string folder) {
    return base::withTrailingSlash(std::move(folder));
}

std::string ParsedOptions::dataFolder(const std::string& fallback) const {
    return has("--data") ? asFolder(value("--data")) : fallback;
}

std::optional<long> wholeNumber(const std::string& text) {
    long value = 0;
    const char* first = text.data();
    if (!text.empty() && text[0] == '+') {
        ++first;
    }
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) {
        return std::nullopt;
    }
    return value;
}

std::optional<long> wholeNumberIn(const std::string& text, long low, long high) {
    auto value = wholeNumber(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace brindle::cli
