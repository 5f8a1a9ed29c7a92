#pragma once
// Building a macro library in a test's data folder, and the macros the tests
// share. A record that cannot be written throws, so the test fails at once.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace brindle::testing {

// A macro with a comment, a label, a move, a jump back to the label and a
// MACRO statement; at image offset 0 it compiles into kWorkedExampleImage.
// (Inline, so that a test's own globals built from them see them set.)
inline const std::string kWorkedExample =
    "/* DEMO */\r\nSTART:\r\n1 MA 1000\r\nGOTO START\r\nMACRO 2";
inline const std::string kWorkedExampleImage =
    hexBytes("31 20 4D 41 20 31 30 30 30 0D 47 4F 54 4F 0E 02 0D 4D 41 43 52 4F 02 0D");
// A second macro whose label sits at its own start; placed right after the
// worked example (24 bytes into the macro area) it compiles into
// kSecondMacroImage.
inline const std::string kSecondMacro = "LOOP:\r\n2 ma 7\r\nGOTO LOOP";
inline const std::string kSecondMacroImage = hexBytes("32 20 4D 41 20 37 0D 47 4F 54 4F 0E 1A 0D");

// Appends a macro record; returns its record number.
int32_t addMacro(const std::string& dataDir, const std::string& name, const std::string& text = "");

// Appends a combination; filled holds (0-based slot, macro record number)
// pairs, the other slots stay empty. Returns its record number.
int32_t addCombo(const std::string& dataDir, const std::string& name,
                 const std::vector<std::pair<int, int32_t>>& filled = {}, int16_t node = 0,
                 int16_t boot = 0);

// A journal file as a write leaves it before a crash, written out here from
// its format (not with the code under test): the body, then FNV-1a (64 bits)
// of the body, little-endian.
std::string sealedJournal(const std::string& body);
// The body of a record write's journal: "BRINDLEJ", 'M' or 'C', the record
// number (int32 little-endian), the record.
std::string recordJournalBody(char database, int32_t n, const std::string& record);
// Eight bytes little-endian, and FNV-1a (64 bits) of the bytes.
std::string le64(uint64_t value);
uint64_t fnv1a64(const std::string& bytes);

}  // namespace brindle::testing
