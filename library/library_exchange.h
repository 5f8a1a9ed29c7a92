#pragma once
// Export of the whole library as plain text files (see library_text.h) and
// import of such an export into an empty data folder. Importing an export
// gives back every macro text, every combination field and every sequence
// position exactly; macros get new record numbers, combinations refer to
// them by name.
#include <string>

#include "library/edit_outcome.h"

namespace brindle::library {

struct ExchangeResult : EditResult {
    std::string problem;  // why it was refused (outcome Refused)
    int macros = 0;
    int combinations = 0;
};

// Writes the library of dataDir into folder, which must be missing, empty,
// or an earlier export (whose macro files that are no longer in the library
// are removed). Refused when two macros share a name: a sequence could not
// say which one it holds.
ExchangeResult exportLibrary(const std::string& dataDir, const std::string& folder);

// Reads an export from folder into dataDir, whose databases must hold no
// records. Everything is checked before the first byte is written.
ExchangeResult importLibrary(const std::string& dataDir, const std::string& folder);

}  // namespace brindle::library
