#include "cli/cli_options.h"

#include <charconv>

#include "base/text.h"

namespace brindle::cli {

ParsedOptions parseOptions(const Arguments& args, const std::set<std::string>& valueOptions,
                           const std::set<std::string>& flagOptions) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
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
    return parsed;
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

}  // namespace brindle::cli
