#include "library/loose_match.h"

#include <unordered_map>

#include "base/text.h"
#include "store/databases.h"

namespace brindle::library {
namespace {

std::string looseKey(std::string_view name) {
    return base::upperAscii(base::trimBlanks(name));
}

}  // namespace

std::vector<LooseMatch> findMacrosLoosely(const std::string& dataDir,
                                          const std::vector<std::string>& names,
                                          store::MacroRecord& MacroBuffer) {
    std::vector<LooseMatch> matches(names.size());
    if (names.empty()) {
        return matches;
    }
    const std::vector<std::string> fields = store::macroNameFields(dataDir);
    std::unordered_map<std::string, int32_t> firstByKey;
    firstByKey.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string key = looseKey(fields[i]);
        if (!key.empty()) {
            firstByKey.emplace(std::move(key), static_cast<int32_t>(i + 1));
        }
    }
    for (std::size_t j = 0; j < names.size(); ++j) {
        auto found = firstByKey.find(looseKey(names[j]));
        if (found != firstByKey.end()) {
            matches[j] = {found->second, fields[static_cast<std::size_t>(found->second - 1)]};
        }
    }
    // The search for the last name stopped at its match, or read every record.
    const int32_t last = matches.back().number;
    if (last > 0) {
        if (auto record = store::readMacro(dataDir, last)) {
            MacroBuffer = *record;
            return matches;
        }
    }
    store::readLastMacroInto(dataDir, static_cast<int32_t>(fields.size()), MacroBuffer);
    return matches;
}

}  // namespace brindle::library
