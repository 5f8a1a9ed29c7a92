#pragma once
// Reading numbers out of user text, the way every text box, list entry and
// caption of the program is read:
//   - blanks, tabs and line feeds are ignored wherever they stand;
//   - the text is read from its start as far as it forms a number: optional
//     sign, decimal digits, optional point and fraction, optional exponent
//     (E or D); "&H" or "&O" introduces unsigned hexadecimal or octal digits;
//   - a text that does not begin with a number has the value 0.
// Conversion to a fixed-width integer takes the nearest integer, a half going
// to the even neighbour; a value outside the type's range is refused.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::base {

double numericValue(std::string_view text);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

std::optional<int16_t> toInt16(double value);
std::optional<int32_t> toInt32(double value);

// Shorthands for numericValue followed by the conversion.
std::optional<int16_t> textToInt16(std::string_view text);
std::optional<int32_t> textToInt32(std::string_view text);

// Decimal digits of a number; with a leading blank a non-negative number gets
// one blank before its digits and a negative one keeps just its minus sign.
std::string decimalText(long long value, bool leadingBlank = false);

}  // namespace brindle::base
