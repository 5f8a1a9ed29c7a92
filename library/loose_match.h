#pragma once
// The combination save's loose look-up of macro names: blanks trimmed and
// letter case ignored, the first record in file order winning. All names are
// found in one pass over the name fields (12 bytes a record), however many
// there are; MacroBuffer is then left holding the record that looking each
// name up record by record would have left there.
#include <cstdint>
#include <string>
#include <vector>

#include "store/records.h"

namespace brindle::library {

struct LooseMatch {
    int32_t number = 0;      // record number, 0 when no macro matches
    std::string storedName;  // the matching record's Name field
};

// One result per name, in order. A blank name matches nothing (a blank-named
// record is a deleted one).
std::vector<LooseMatch> findMacrosLoosely(const std::string& dataDir,
                                          const std::vector<std::string>& names,
                                          store::MacroRecord& MacroBuffer);

}  // namespace brindle::library
