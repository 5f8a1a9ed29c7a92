#pragma once
// The names of the files the library keeps in the data folder, in one place:
// the databases and configuration, and the lock, journal and staged files that
// keep their writes whole. DataDir ends in '/', so a path is DataDir + name.
#include <string>

namespace brindle::store {

inline constexpr const char* kConfigFile = "ZrtCfg.Dat";
inline constexpr const char* kMacroDbFile = "MacroDb.Dat";
inline constexpr const char* kComboDbFile = "ComboDb.Dat";
inline constexpr const char* kComboTempFile = "ComboDb.tmp";
inline constexpr const char* kLockFile = "Library.Lck";
inline constexpr const char* kJournalFile = "Library.Jnl";
inline constexpr const char* kMacroStageFile = "MacroDb.new";
inline constexpr const char* kComboStageFile = "ComboDb.new";

inline std::string macroDbPath(const std::string& dataDir) {
    return dataDir + kMacroDbFile;
}
inline std::string comboDbPath(const std::string& dataDir) {
    return dataDir + kComboDbFile;
}

}  // namespace brindle::store
