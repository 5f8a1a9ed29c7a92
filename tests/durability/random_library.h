#pragma once
// Seeded random macro libraries for the crash and disk-full tests, written
// straight into a data folder as database bytes.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "store/records.h"

namespace brindle::testing {

struct RandomLibrary {
    std::vector<store::MacroRecord> macros;  // some deleted (blank name)
    std::vector<store::ComboRecord> combos;

    // Names as a command line gives them (trailing blanks left off).
    std::vector<std::string> macroNames() const;  // not deleted ones
    std::vector<std::string> comboNames() const;
    // The lines show-combo lists for combination i (1 = first).
    int listedLines(std::size_t combo) const;

    // Writes "MacroDb.Dat" and "ComboDb.Dat" into dataDir (with its '/').
    void write(const std::string& dataDir) const;
};

RandomLibrary randomLibrary(std::mt19937& rng);

// A name of 1..width characters that none of `taken` has.
std::string freshName(std::mt19937& rng, std::size_t width, const std::vector<std::string>& taken);
// Bytes a macro text may hold: printable text, CR LF and Latin-1 letters;
// now and then a long one, so that its record spans several pages.
std::string randomText(std::mt19937& rng);

}  // namespace brindle::testing
