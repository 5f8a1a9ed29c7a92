#pragma once
// How brindle-cli prints texts that come from the databases (names, versions,
// descriptions, sequence lines), so that a stored name can neither drive the
// terminal (set its title, clear its screen) nor spread over several lines.
//
// On a terminal, and with --escape anywhere: printable ASCII as it is, a
// backslash as \\, every control byte (0x00-0x1F, 0x7F, 0x80-0x9F) as \xHH,
// and the Latin-1 letters 0xA0-0xFF as themselves in UTF-8 when the
// terminal's character set is UTF-8, otherwise as \xHH.
//
// Into a pipe or a file: the stored bytes as they are, which scripts rely on,
// except that CR and LF are written \r and \n, so that one name or field is
// always one line. (Neither program lets a name hold a line break; only a
// description, or a file from outside, can.)
#include <string>
#include <string_view>

namespace brindle::cli {

struct TextStyle {
    bool escape = false;  // the terminal's form
    bool utf8 = false;    // the terminal shows UTF-8
};

std::string shownText(std::string_view bytes, const TextStyle& style);

// The style for a standard stream: escaped when it is a terminal.
TextStyle styleForStream(int fd);

}  // namespace brindle::cli
