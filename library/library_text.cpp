#include "library/library_text.h"

#include <charconv>

namespace brindle::library {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool plainFileByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '+' || c == ',' || c == '=';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string withoutTrailingBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

struct Token {
    bool quoted = false;
    std::string text;
};

// The words and quoted texts of one line.
base::Result<std::vector<Token>> tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        Token token;
        if (line[i] != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                token.text.push_back(line[i++]);
            }
            tokens.push_back(std::move(token));
            continue;
        }
        token.quoted = true;
        ++i;
        bool closed = false;
        while (i < line.size()) {
            const char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                token.text.push_back(c);
                continue;
            }
            if (i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                token.text.push_back(line[i++]);
            } else if (i + 2 < line.size() && line[i] == 'x' && hexValue(line[i + 1]) >= 0 &&
                       hexValue(line[i + 2]) >= 0) {
                token.text.push_back(
                    static_cast<char>(hexValue(line[i + 1]) * 16 + hexValue(line[i + 2])));
                i += 3;
            } else {
                return base::Status::failure("an unknown escape after \\");
            }
        }
        if (!closed) {
            return base::Status::failure("a quoted text is not closed");
        }
        if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            return base::Status::failure("a quoted text runs into the next word");
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

// The lines of a text, CR LF or LF ended; comments and blank lines carry no
// tokens.
struct Line {
    int number = 0;
    std::vector<Token> tokens;
};

base::Result<std::vector<Line>> meaningfulLines(std::string_view text, const char* file) {
    std::vector<Line> lines;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') {
            continue;
        }
        auto tokens = tokenize(line);
        if (!tokens) {
            return base::Status::failure(std::string(file) + " line " + std::to_string(number) +
                                         ": " + tokens.message() + ".");
        }
        lines.push_back({number, std::move(*tokens)});
    }
    return lines;
}

base::Status lineProblem(const char* file, int line, const std::string& problem) {
    return base::Status::failure(std::string(file) + " line " + std::to_string(line) + ": " +
                                 problem + ".");
}

std::optional<long> wholeNumber(const std::string& text) {
    long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) {
        return std::nullopt;
    }
    return value;
}

bool isWord(const Token& token, const char* word) {
    return !token.quoted && token.text == word;
}

}  // namespace

std::string quoteText(std::string_view bytes) {
    std::string out = "\"";
    for (char c : withoutTrailingBlanks(bytes)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u >= 0x20 && u < 0x7F) {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kHexDigits[u >> 4]);
            out.push_back(kHexDigits[u & 0xF]);
        }
    }
    out.push_back('"');
    return out;
}

std::string macroFileName(std::string_view name) {
    std::string file;
    for (char c : withoutTrailingBlanks(name)) {
        const auto u = static_cast<unsigned char>(c);
        if (plainFileByte(u) && !(file.empty() && c == '.')) {
            file.push_back(c);
        } else {
            file.push_back('%');
            file.push_back(kHexDigits[u >> 4]);
            file.push_back(kHexDigits[u & 0xF]);
        }
    }
    return file + ".txt";
}

bool safeMacroFileName(std::string_view file) {
    if (file.empty() || file.front() == '.') {
        return false;
    }
    for (char c : file) {
        if (!plainFileByte(static_cast<unsigned char>(c)) && c != '%' && c != '~') {
            return false;
        }
    }
    return true;
}

std::string writeMacroIndex(const std::vector<TextMacro>& macros) {
    std::string out = std::string(kMacroIndexHeader) +
                      "\n# One line per macro, in record order: its name, the file under "
                      "macros/ that holds its text.\n";
    for (const TextMacro& macro : macros) {
        out += quoteText(macro.name) + " " + macro.file;
        if (!macro.reserved.empty()) {
            out += " reserved " + quoteText(macro.reserved);
        }
        out += "\n";
    }
    return out;
}

std::string writeCombinations(const std::vector<TextCombination>& combinations) {
    std::string out =
        "# Brindle combinations, in record order: fields, then the sequence as position and\n"
        "# macro name (\"deleted\" for a slot whose macro was deleted).\n";
    for (const TextCombination& c : combinations) {
        out += "\ncombination " + quoteText(c.name) + "\n";
        out += "version " + quoteText(c.version) + "\n";
        out += "description " + quoteText(c.description) + "\n";
        out += "node " + std::to_string(c.node) + "\n";
        out += "boot " + std::to_string(c.boot) + "\n";
        for (const TextSlot& slot : c.slots) {
            out += std::to_string(slot.position) + " " +
                   (slot.macro ? quoteText(*slot.macro) : std::string("deleted")) + "\n";
        }
        out += "end\n";
    }
    return out;
}

base::Result<std::vector<TextMacro>> parseMacroIndex(std::string_view text) {
    auto lines = meaningfulLines(text, kMacroIndexFile);
    if (!lines) {
        return lines.status();
    }
    std::vector<TextMacro> macros;
    for (const Line& line : *lines) {
        const auto& t = line.tokens;
        const bool plain = t.size() == 2;
        const bool withReserved = t.size() == 4 && isWord(t[2], "reserved") && t[3].quoted;
        if (!(plain || withReserved) || !t[0].quoted || t[1].quoted) {
            return lineProblem(kMacroIndexFile, line.number,
                               "expected a quoted name, a file name and optionally reserved "
                               "\"BYTES\"");
        }
        if (!safeMacroFileName(t[1].text)) {
            return lineProblem(
                kMacroIndexFile, line.number,
                "the file name " + quoteText(t[1].text) + " is not one an export writes");
        }
        macros.push_back({t[0].text, t[1].text, withReserved ? t[3].text : std::string()});
    }
    return macros;
}

base::Result<std::vector<TextCombination>> parseCombinations(std::string_view text) {
    auto lines = meaningfulLines(text, kCombinationsFile);
    if (!lines) {
        return lines.status();
    }
    std::vector<TextCombination> combinations;
    std::optional<TextCombination> open;
    int fieldsSeen = 0;  // version, description, node, boot: bits 0..3
    int openedAt = 0;
    for (const Line& line : *lines) {
        const auto& t = line.tokens;
        auto problem = [&](const std::string& what) {
            return lineProblem(kCombinationsFile, line.number, what);
        };
        if (!open) {
            if (t.size() != 2 || !isWord(t[0], "combination") || !t[1].quoted) {
                return problem("expected combination \"NAME\"");
            }
            open = TextCombination{};
            open->name = t[1].text;
            fieldsSeen = 0;
            openedAt = line.number;
            continue;
        }
        if (t.size() == 1 && isWord(t[0], "end")) {
            if (fieldsSeen != 0xF) {
                return problem("the combination lacks one of version, description, node, boot");
            }
            combinations.push_back(std::move(*open));
            open.reset();
            continue;
        }
        if (t.size() != 2) {
            return problem("expected a field, a position and macro, or end");
        }
        const std::string& key = t[0].text;
        auto field = [&](int bit) {
            const bool repeated = (fieldsSeen & bit) != 0;
            fieldsSeen |= bit;
            return !repeated;
        };
        if (isWord(t[0], "version") || isWord(t[0], "description")) {
            const bool version = key == "version";
            if (!t[1].quoted || !field(version ? 1 : 2)) {
                return problem("expected one " + key + " \"TEXT\"");
            }
            (version ? open->version : open->description) = t[1].text;
        } else if (isWord(t[0], "node") || isWord(t[0], "boot")) {
            const bool node = key == "node";
            auto value = t[1].quoted ? std::nullopt : wholeNumber(t[1].text);
            if (!value || *value < -32768 || *value > 32767 || !field(node ? 4 : 8)) {
                return problem("expected one " + key + " with a whole number from -32768 to 32767");
            }
            (node ? open->node : open->boot) = static_cast<int16_t>(*value);
        } else {
            auto position = t[0].quoted ? std::nullopt : wholeNumber(key);
            if (!position || *position < 1 || *position > 256) {
                return problem("expected a position from 1 to 256 or a field name");
            }
            for (const TextSlot& slot : open->slots) {
                if (slot.position == *position) {
                    return problem("position " + key + " is given twice");
                }
            }
            if (!t[1].quoted && t[1].text != "deleted") {
                return problem("expected a quoted macro name or deleted after the position");
            }
            open->slots.push_back(
                {static_cast<int>(*position),
                 t[1].quoted ? std::optional<std::string>(t[1].text) : std::nullopt});
        }
    }
    if (open) {
        return lineProblem(kCombinationsFile, openedAt, "the combination has no end line");
    }
    return combinations;
}

}  // namespace brindle::library
