#include "base/numeric.h"

#include <cmath>
#include <limits>

namespace brindle::base {
namespace {

bool isIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The text without the characters that never count.
std::string significant(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!isIgnored(c)) {
            out.push_back(c);
        }
    }
    return out;
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int digitValue(char c, int radix) {
    int v = -1;
    char u = upper(c);
    if (u >= '0' && u <= '9') {
        v = u - '0';
    } else if (u >= 'A' && u <= 'F') {
        v = u - 'A' + 10;
    }
    return (v >= 0 && v < radix) ? v : -1;
}

double radixValue(const std::string& s, size_t pos, int radix) {
    double value = 0;
    for (; pos < s.size(); ++pos) {
        int d = digitValue(s[pos], radix);
        if (d < 0) {
            break;
        }
        value = value * radix + d;
    }
    return value;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double numericValue(std::string_view text) {
    const std::string s = significant(text);
    if (s.size() >= 2 && s[0] == '&') {
        char kind = upper(s[1]);
        if (kind == 'H') {
            return radixValue(s, 2, 16);
        }
        if (kind == 'O') {
            return radixValue(s, 2, 8);
        }
        return 0;
    }
    // Collect the longest prefix that forms a decimal number, then let strtod
    // convert exactly that prefix (it rounds correctly, unlike summing digits).
    std::string number;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number.push_back(s[i++]);
    }
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) {
        number.push_back(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        while (i < s.size() && isDigit(s[i])) {
            number.push_back(s[i++]);
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i < s.size() && (upper(s[i]) == 'E' || upper(s[i]) == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            exponent.push_back(s[j++]);
        }
        bool expDigits = false;
        while (j < s.size() && isDigit(s[j])) {
            exponent.push_back(s[j++]);
            expDigits = true;
        }
        if (expDigits) {
            number += exponent;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    double floorValue = std::floor(value);
    double diff = value - floorValue;
    if (diff < 0.5) {
        return floorValue;
    }
    if (diff > 0.5) {
        return floorValue + 1;
    }
    return std::fmod(floorValue, 2.0) == 0 ? floorValue : floorValue + 1;
}

namespace {
template <typename Int>
std::optional<Int> toInt(double value) {
    double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(r);
}
}  // namespace

std::optional<int16_t> toInt16(double value) {
    return toInt<int16_t>(value);
}
std::optional<int32_t> toInt32(double value) {
    return toInt<int32_t>(value);
}
std::optional<int16_t> textToInt16(std::string_view text) {
    return toInt16(numericValue(text));
}
std::optional<int32_t> textToInt32(std::string_view text) {
    return toInt32(numericValue(text));
}

std::string decimalText(long long value, bool leadingBlank) {
    std::string digits = std::to_string(value);
    if (leadingBlank && value >= 0) {
        return " " + digits;
    }
    return digits;
}

}  // namespace brindle::base
