#include "richtext/tables.h"

#include <algorithm>
#include <limits>

#include "richtext/utf8.h"

namespace brindle::richtext {

namespace {

std::string trimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::uint8_t component(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

void FontTableReader::setNumber(int number) {
    m_started = true;
    m_hasNumber = true;
    m_number = number;
}

void FontTableReader::setFamily(FontFamily family) {
    m_started = true;
    m_entry.family = family;
}

void FontTableReader::setCharset(int charset) {
    m_started = true;
    m_entry.charset = charset;
}

void FontTableReader::appendName(char32_t character) {
    m_started = true;
    appendUtf8(m_entry.name, character);
}

void FontTableReader::finishEntry() {
    if (!m_started) {
        return;
    }
    m_entry.name = trimSpaces(m_entry.name);
    if (!m_hasNumber) {
        // The next number after the highest; after INT_MAX, that one again.
        const int highest = m_indexOfNumber.empty() ? -1 : m_indexOfNumber.rbegin()->first;
        m_number = highest == std::numeric_limits<int>::max() ? highest : highest + 1;
    }
    const auto known = m_indexOfNumber.find(m_number);
    if (known != m_indexOfNumber.end()) {
        m_fonts[static_cast<std::size_t>(known->second)] = m_entry;
    } else {
        m_indexOfNumber[m_number] = static_cast<int>(m_fonts.size());
        m_fonts.push_back(m_entry);
    }
    m_started = false;
    m_hasNumber = false;
    m_entry = Font{};
}

int FontTableReader::indexOf(int number, int defaultNumber) const {
    auto found = m_indexOfNumber.find(number);
    if (found == m_indexOfNumber.end()) {
        found = m_indexOfNumber.find(defaultNumber);
    }
    return found == m_indexOfNumber.end() ? 0 : found->second;
}

void ColourTableReader::setRed(int value) {
    m_hasComponent = true;
    m_entry.red = component(value);
}

void ColourTableReader::setGreen(int value) {
    m_hasComponent = true;
    m_entry.green = component(value);
}

void ColourTableReader::setBlue(int value) {
    m_hasComponent = true;
    m_entry.blue = component(value);
}

void ColourTableReader::finishEntry() {
    if (m_hasComponent) {
        m_colours.push_back(m_entry);
        m_indexOfNumber.push_back(static_cast<int>(m_colours.size()));
    } else {
        m_indexOfNumber.push_back(0);
    }
    m_hasComponent = false;
    m_entry = Colour{};
}

void ColourTableReader::finishTable() {
    if (m_hasComponent) {
        finishEntry();
    }
}

int ColourTableReader::indexOf(int number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= m_indexOfNumber.size()) {
        return 0;
    }
    return m_indexOfNumber[static_cast<std::size_t>(number)];
}

}  // namespace brindle::richtext
