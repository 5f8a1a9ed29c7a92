#pragma once
// The text of a multi-line box of the form (MacroText, DescriptionText). The
// box shows each line break of a stored text as one break, whether it was
// CR LF, a lone CR or a lone LF, and a break typed there is stored as CR LF.
// A text the user did not change goes back to the file as it came.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brindle::library {

struct BoxText {
    std::string shown;   // the box's text, each line break one LF
    std::string loaded;  // the stored text the box was last filled with
};

// The stored text as the box shows it: CR LF, CR and LF each become one LF.
std::string shownLineBreaks(std::string_view stored);

// The text to store in a field of `width` characters: the loaded text, byte
// for byte, while the box shows it unchanged; otherwise the shown text with
// each line break written CR LF. Nothing when that text, trailing blanks
// aside, is longer than the field though the shown one is not: the line ends
// alone would cut its tail.
std::optional<std::string> textToStore(const BoxText& box, std::size_t width);

// The length of the text textToStore refused, for its message.
std::size_t storedLength(const BoxText& box);

}  // namespace brindle::library
