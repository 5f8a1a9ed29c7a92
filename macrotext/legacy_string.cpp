#include "macrotext/legacy_string.h"

#include <algorithm>

namespace brindle::macrotext {

long length(std::string_view text) {
    return static_cast<long>(text.size());
}

long instr(std::string_view text, std::string_view what, long start) {
    start = std::max(start, 1L);
    if (start > length(text)) {
        return 0;
    }
    std::size_t found = text.find(what, static_cast<std::size_t>(start - 1));
    return found == std::string_view::npos ? 0 : static_cast<long>(found) + 1;
}

std::string left(std::string_view text, long count) {
    count = std::clamp(count, 0L, length(text));
    return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

std::string right(std::string_view text, long count) {
    count = std::clamp(count, 0L, length(text));
    return std::string(text.substr(text.size() - static_cast<std::size_t>(count)));
}

std::string mid(std::string_view text, long start, long count) {
    start = std::max(start, 1L);
    if (start > length(text) || count <= 0) {
        return {};
    }
    long available = length(text) - start + 1;
    return std::string(text.substr(static_cast<std::size_t>(start - 1),
                                   static_cast<std::size_t>(std::min(count, available))));
}

std::string mid(std::string_view text, long start) {
    return mid(text, start, length(text));
}

}  // namespace brindle::macrotext
