// Arbitrary command lines (words separated by NUL bytes) through the option
// parser every brindle-cli command uses: an accepted line has every value
// option with a value, no unknown option and a data folder that is not empty
// (and exists: the parser checks it).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/cli_options.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    brindle::cli::Arguments args;
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(word);
            word.clear();
        } else {
            word.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(word);
    const auto parsed =
        brindle::cli::parseOptions(args, {"--data", "--combo", "--baud"}, {"--hex"});
    if (parsed.error.empty()) {
        // Only a word after "--" may begin with '-'.
        const bool optionsEnded = std::find(args.begin(), args.end(), "--") != args.end();
        for (const std::string& arg : parsed.positional) {
            require(arg.size() <= 1 || arg[0] != '-' || optionsEnded);
        }
        require(!parsed.has("--data") || !parsed.value("--data").empty());
        const std::string folder = parsed.dataFolder("/fallback/");
        require(!folder.empty() && folder.back() == '/');
    }
    for (const std::string& arg : args) {
        if (auto number = brindle::cli::wholeNumber(arg)) {
            require(!arg.empty());
        }
    }
    return 0;
}
