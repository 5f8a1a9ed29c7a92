#pragma once
// A name typed longer than its field: cut, it would stand for another record
// (two names sharing their first 12 characters would replace each other), so
// the editors refuse it with a message. Trailing blanks do not count.
#include <cstddef>
#include <string>

#include "base/prompter.h"

namespace brindle::library {

// False, after a critical message that names the name, its length and the
// limit and ends with `consequence`, when the name does not fit `width`.
// `what` is "macro name" or "combination name".
bool nameFitsField(const std::string& nameLine, std::size_t width, const std::string& what,
                   const std::string& consequence, base::Prompter& prompter);

}  // namespace brindle::library
