#pragma once
// The four-digit hexadecimal form of a status argument.
#include <optional>
#include <string>

namespace brindle::macrotext {

// The upper-case hexadecimal digits of value taken to the nearest integer
// (halves to the even neighbour), of which only the last four remain, with
// leading zeros: 10 -> "000A", 255 -> "00FF", 70000 -> "1170". A negative
// value gives the last four digits of its 32-bit two's complement (-1 ->
// "FFFF"). A value that does not fit a 32-bit signed integer has no such form
// and gives nothing.
std::optional<std::string> hex4(double value);

}  // namespace brindle::macrotext
