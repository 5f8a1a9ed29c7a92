#pragma once
// The editors' messages and the titles of their questions.
namespace brindle::library {

inline constexpr const char* kOverwriteQuestion =
    "Record already present. Do you wish to over-write this record?";
inline constexpr const char* kOverwriteTitle = "Confirm Record Over-Write";
inline constexpr const char* kDeletionTitle = "Confirm Record Deletion";
inline constexpr const char* kDeleteMacroQuestion = "Are you sure you want to delete this macro?";
inline constexpr const char* kDeleteComboQuestion =
    "Are you sure you want to delete this macro combination?";
inline constexpr const char* kMacroStatementWarning =
    "Warning, 'MACRO ###' Statement missing at end of macro (where ### may range from 0 to 255. "
    "Example, 'MACRO 2')";
inline constexpr const char* kCompileNotesWarning =
    "Warning, the Macro Module will not hold this macro as written (the macro is saved):";
inline constexpr const char* kInvalidEntries = "Invalid macro entries:";
inline constexpr const char* kComboNotFound = "Combination not saved or selected";
inline constexpr const char* kBlankMacroName =
    "A macro needs a name that is not blank. The macro was not saved.";
inline constexpr const char* kSequenceFull =
    "There is no room in this combination's sequence: position 256, the last one, is taken. "
    "Remove a macro link first; nothing was inserted.";
// The endings of the refusals of names too long for their field.
inline constexpr const char* kMacroNotSaved = "The macro was not saved.";
inline constexpr const char* kComboNotSaved = "The combination was not saved.";
inline constexpr const char* kNothingDeleted = "Nothing was deleted.";
inline constexpr const char* kNothingInserted = "Nothing was inserted.";
inline constexpr const char* kNothingRemoved = "Nothing was removed.";

}  // namespace brindle::library
