#include "tests/durability/random_library.h"

#include <algorithm>

#include "base/text.h"
#include "tests/support/temp_dir.h"

namespace brindle::testing {
namespace {

int uniform(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

std::string randomBytes(std::mt19937& rng, std::size_t length) {
    static const std::string kChars =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 /*:>\r\n\xe9\xfc";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(kChars[static_cast<std::size_t>(uniform(rng, 0, int(kChars.size()) - 1))]);
    }
    return text;
}

}  // namespace

std::string freshName(std::mt19937& rng, std::size_t width, const std::vector<std::string>& taken) {
    static const std::string kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-\xc4";
    for (;;) {
        std::string name;
        const int length = uniform(rng, 1, static_cast<int>(width));
        for (int i = 0; i < length; ++i) {
            name.push_back(
                kChars[static_cast<std::size_t>(uniform(rng, 0, int(kChars.size()) - 1))]);
        }
        if (std::find(taken.begin(), taken.end(), name) == taken.end()) {
            return name;
        }
    }
}

std::string randomText(std::mt19937& rng) {
    const bool longOne = uniform(rng, 0, 4) == 0;
    return randomBytes(
        rng, static_cast<std::size_t>(longOne ? uniform(rng, 4000, 16332) : uniform(rng, 0, 300)));
}

std::vector<std::string> RandomLibrary::macroNames() const {
    std::vector<std::string> names;
    for (const auto& m : macros) {
        if (!base::trimBlanks(m.Name).empty()) {
            names.push_back(base::trimTrailingBlanks(m.Name));
        }
    }
    return names;
}

std::vector<std::string> RandomLibrary::comboNames() const {
    std::vector<std::string> names;
    for (const auto& c : combos) {
        names.push_back(base::trimTrailingBlanks(c.Name));
    }
    return names;
}

int RandomLibrary::listedLines(std::size_t combo) const {
    int lines = 0;
    for (int32_t number : combos.at(combo).Sequence) {
        if (number >= 1 && number <= static_cast<int32_t>(macros.size()) &&
            !base::trimBlanks(macros[static_cast<std::size_t>(number) - 1].Name).empty()) {
            ++lines;
        }
    }
    return lines;
}

void RandomLibrary::write(const std::string& dataDir) const {
    std::string macroBytes;
    for (const auto& m : macros) {
        macroBytes += m.encode();
    }
    std::string comboBytes;
    for (const auto& c : combos) {
        comboBytes += c.encode();
    }
    writeBytes(dataDir + "MacroDb.Dat", macroBytes);
    writeBytes(dataDir + "ComboDb.Dat", comboBytes);
}

RandomLibrary randomLibrary(std::mt19937& rng) {
    RandomLibrary library;
    std::vector<std::string> taken;
    const int macroCount = uniform(rng, 3, 10);
    for (int i = 0; i < macroCount; ++i) {
        store::MacroRecord m;
        if (i > 0 && uniform(rng, 0, 6) == 0) {
            library.macros.push_back(m);  // a deleted macro: all blanks
            continue;
        }
        m.Name =
            base::fixedWidth(freshName(rng, store::kMacroNameWidth, taken), store::kMacroNameWidth);
        taken.push_back(base::trimTrailingBlanks(m.Name));
        m.Reserved =
            base::fixedWidth(randomBytes(rng, static_cast<std::size_t>(uniform(rng, 0, 12))), 12);
        m.Body = base::fixedWidth(randomText(rng), store::kMacroBodyWidth);
        library.macros.push_back(m);
    }
    taken.clear();
    const int comboCount = uniform(rng, 1, 6);
    for (int i = 0; i < comboCount; ++i) {
        store::ComboRecord c;
        c.Name =
            base::fixedWidth(freshName(rng, store::kComboNameWidth, taken), store::kComboNameWidth);
        taken.push_back(base::trimTrailingBlanks(c.Name));
        c.Version =
            base::fixedWidth(randomBytes(rng, static_cast<std::size_t>(uniform(rng, 0, 16))), 16);
        c.Description =
            base::fixedWidth(randomBytes(rng, static_cast<std::size_t>(uniform(rng, 0, 80))), 80);
        c.NodeAddress = static_cast<int16_t>(uniform(rng, -32768, 32767));
        c.StartingMacroNum = static_cast<int16_t>(uniform(rng, 0, 12));
        const int filled = uniform(rng, 1, 20);
        for (int s = 0; s < filled; ++s) {
            c.Sequence[static_cast<std::size_t>(uniform(rng, 0, 30))] =
                uniform(rng, 0, 4) == 0 ? 0 : uniform(rng, 1, macroCount);
        }
        library.combos.push_back(c);
    }
    return library;
}

}  // namespace brindle::testing
