#pragma once
// The caption under a progress bar: blanks and the percentage in decimal,
// cut to its last seven characters, then " % Complete". A download's captions
// carry six blanks, its start caption and the clear utility's five, so 42
// reads "     42 % Complete" in both and 0 reads one blank shorter at the
// start of a download than during it.
#include <string>

namespace brindle::link {

inline std::string percentCaption(int percent, int leadingBlanks) {
    const std::string padded =
        std::string(static_cast<std::size_t>(leadingBlanks), ' ') + std::to_string(percent);
    return padded.substr(padded.size() > 7 ? padded.size() - 7 : 0) + " % Complete";
}

}  // namespace brindle::link
