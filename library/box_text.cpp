#include "library/box_text.h"

#include "base/text.h"

namespace brindle::library {
namespace {

std::string withCrLf(std::string_view shown) {
    std::string out;
    out.reserve(shown.size());
    for (char c : shown) {
        if (c == base::LF) {
            out += base::CR;
        }
        out += c;
    }
    return out;
}

}  // namespace

std::string shownLineBreaks(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == base::CR) {
            out += base::LF;
            if (i + 1 < stored.size() && stored[i + 1] == base::LF) {
                ++i;
            }
        } else {
            out += stored[i];
        }
    }
    return out;
}

std::optional<std::string> textToStore(const BoxText& box, std::size_t width) {
    if (box.shown == shownLineBreaks(box.loaded)) {
        return box.loaded;
    }
    std::string converted = withCrLf(box.shown);
    if (base::trimTrailingBlanks(converted).size() > width &&
        base::trimTrailingBlanks(box.shown).size() <= width) {
        return std::nullopt;
    }
    return converted;
}

std::size_t storedLength(const BoxText& box) {
    return base::trimTrailingBlanks(withCrLf(box.shown)).size();
}

}  // namespace brindle::library
