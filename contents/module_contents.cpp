#include "contents/module_contents.h"

#include <algorithm>

namespace brindle::contents {

namespace {

constexpr char kFiller = 'R';
constexpr std::string_view kBlank = "BLANK";

bool inside(int location) {
    return location >= 0 && location < state::kLocationCount;
}

}  // namespace

ModuleContents::ModuleContents()
    : m_bytes(state::kLocationCount, kUnknownByte), m_known(state::kLocationCount, false) {}

bool ModuleContents::known(int location) const {
    return inside(location) && m_known[static_cast<std::size_t>(location)];
}

std::optional<uint8_t> ModuleContents::at(int location) const {
    if (!known(location)) {
        return std::nullopt;
    }
    return m_bytes[static_cast<std::size_t>(location)];
}

uint8_t ModuleContents::byte(int location) const {
    return at(location).value_or(kUnknownByte);
}

void ModuleContents::set(int location, uint8_t value) {
    if (!inside(location)) {
        return;
    }
    m_bytes[static_cast<std::size_t>(location)] = value;
    m_known[static_cast<std::size_t>(location)] = true;
}

void ModuleContents::forget(int location) {
    if (!inside(location)) {
        return;
    }
    m_bytes[static_cast<std::size_t>(location)] = kUnknownByte;
    m_known[static_cast<std::size_t>(location)] = false;
}

bool ModuleContents::holdsCompleteDownload() const {
    return at(state::kImageStateLocation) == static_cast<uint8_t>(state::kImageComplete);
}

int ModuleContents::knownCount() const {
    return static_cast<int>(std::count(m_known.begin(), m_known.end(), true));
}

int ModuleContents::knownEnd() const {
    const auto last = std::find(m_known.rbegin(), m_known.rend(), true);
    return static_cast<int>(m_known.rend() - last);
}

std::optional<std::string> dumpStoredBytes(std::string_view raw) {
    const std::size_t filler = raw.find(kFiller);
    if (filler == std::string_view::npos || raw.substr(0, filler).find(kBlank) != raw.npos) {
        return std::nullopt;
    }
    std::string stored;
    for (std::size_t at = filler + 1; at < raw.size(); at += 2) {
        stored += raw[at];
    }
    return stored;
}

void takeAgreeingBytes(ModuleContents& contents, const std::optional<std::string>& first,
                       const std::optional<std::string>& second) {
    if (!first || !second) {
        return;
    }
    const std::size_t both = std::min(first->size(), second->size());
    const std::size_t room = static_cast<std::size_t>(state::kLocationCount - state::kMacroArea);
    for (std::size_t i = 0; i < std::min(both, room); ++i) {
        if ((*first)[i] == (*second)[i]) {
            contents.set(state::kMacroArea + static_cast<int>(i),
                         static_cast<uint8_t>((*first)[i]));
        }
    }
}

}  // namespace brindle::contents
