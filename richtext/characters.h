#pragma once
// Which characters the document model keeps in its text.
#include <optional>

namespace brindle::richtext {

// A character read as text, as the model keeps it: a tab stays, other
// control characters are dropped (nothing), the line and paragraph
// separators become '\n', surrogates, non-characters and values beyond
// U+10FFFF become U+FFFD.
std::optional<char32_t> normaliseCharacter(char32_t character);

}  // namespace brindle::richtext
