#pragma once
// The plain-text form of a macro library, for people and version control.
//
// FOLDER/macros.txt, the macro index, one line per macro in record order:
//   "NAME" FILE
//   "NAME" FILE reserved "BYTES"
// FILE is the macro's text file under FOLDER/macros/; "reserved" is written
// when the record's Reserved bytes are not all blanks.
//
// FOLDER/macros/FILE: the macro's text byte for byte, trailing blanks left
// off (the record fills them in again).
//
// FOLDER/combinations.txt, one block per combination in record order:
//   combination "NAME"
//   version "TEXT"
//   description "TEXT"
//   node 65
//   boot 1
//   1 "HOME"        position and macro name
//   3 deleted       a slot that refers to a deleted macro
//   end
// Texts are quoted with their trailing blanks left off; inside the quotes \"
// and \\ stand for a quote and a backslash and \xHH for any byte outside
// printable ASCII. Lines starting with # and blank lines are comments.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace brindle::library {

inline constexpr const char* kMacroIndexFile = "macros.txt";
inline constexpr const char* kMacroTextFolder = "macros";
inline constexpr const char* kCombinationsFile = "combinations.txt";
inline constexpr const char* kMacroIndexHeader = "# Brindle macro library export";

struct TextMacro {
    std::string name;      // trailing blanks left off
    std::string file;      // under macros/
    std::string reserved;  // empty when all blanks
};

struct TextSlot {
    int position = 0;                  // 1..256
    std::optional<std::string> macro;  // nothing: a deleted macro
};

struct TextCombination {
    std::string name;
    std::string version;
    std::string description;
    int16_t node = 0;
    int16_t boot = 0;
    std::vector<TextSlot> slots;
};

std::string quoteText(std::string_view bytes);

// The file name of a macro's text: the name without trailing blanks, bytes
// other than letters, digits and "-_.+,=" written %HH (a leading dot too),
// so that no name can reach outside the folder; ".txt" appended.
std::string macroFileName(std::string_view name);
// A file name that the index may use: what macroFileName can produce.
bool safeMacroFileName(std::string_view file);

std::string writeMacroIndex(const std::vector<TextMacro>& macros);
std::string writeCombinations(const std::vector<TextCombination>& combinations);

// Parsing; a failure names the file's line.
base::Result<std::vector<TextMacro>> parseMacroIndex(std::string_view text);
base::Result<std::vector<TextCombination>> parseCombinations(std::string_view text);

}  // namespace brindle::library
