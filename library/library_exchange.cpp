#include "library/library_exchange.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "base/text.h"
#include "library/library_text.h"
#include "store/databases.h"
#include "store/file_names.h"
#include "store/library_journal.h"
#include "store/library_lock.h"
#include "store/record_file.h"

namespace brindle::library {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kVersionWidth = 16;
constexpr std::size_t kDescriptionWidth = 80;
constexpr std::size_t kReservedWidth = 12;
constexpr const char* kWriteWaits =
    "A write to the library was interrupted and waits to be finished by the next command "
    "that changes it.";
// The index files of the largest library an export can hold, with room for
// comments: 32,767 macros of one line each, combinations of 256 lines each.
constexpr std::uintmax_t kMacroIndexLimit = std::uintmax_t{32767} * 1024;
constexpr std::uintmax_t kCombinationsLimit = std::uintmax_t{32767} * 16 * 1024;

ExchangeResult refused(std::string problem) {
    ExchangeResult result;
    result.outcome = EditOutcome::Refused;
    result.problem = std::move(problem);
    return result;
}

ExchangeResult failed(base::Status status) {
    ExchangeResult result;
    result.fail(std::move(status));
    return result;
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The whole library, read before anything is written.
struct Library {
    std::vector<TextMacro> macros;
    std::vector<std::string> texts;  // per macro
    std::vector<TextCombination> combinations;
};

// File names unique even on a file system that ignores letter case.
void nameTheFiles(std::vector<TextMacro>& macros) {
    std::set<std::string> taken;
    for (TextMacro& macro : macros) {
        const std::string plain = macroFileName(macro.name);
        const std::string stem = plain.substr(0, plain.size() - 4);
        std::string file = plain;
        for (int n = 2; taken.count(lowerAscii(file)) > 0; ++n) {
            file = stem + "~" + std::to_string(n) + ".txt";
        }
        taken.insert(lowerAscii(file));
        macro.file = file;
    }
}

base::Result<Library> readLibrary(const std::string& dataDir, std::string& duplicates) {
    Library library;
    const std::vector<std::string> names = store::macroNameFields(dataDir);
    std::set<std::string> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (base::trimBlanks(names[i]).empty()) {
            continue;
        }
        if (!seen.insert(names[i]).second) {
            duplicates += (duplicates.empty() ? "" : ", ") + quoteText(names[i]);
            continue;
        }
        const auto number = static_cast<int32_t>(i + 1);
        auto record = store::readMacro(dataDir, number);
        if (!record) {
            return base::Status::failure("Cannot read macro record " + std::to_string(number) +
                                         " of " + store::macroDbPath(dataDir) + ".");
        }
        const bool blankReserved = base::trimBlanks(record->Reserved).empty();
        library.macros.push_back({base::trimTrailingBlanks(record->Name), std::string(),
                                  blankReserved ? std::string() : record->Reserved});
        library.texts.push_back(base::trimTrailingBlanks(record->Body));
    }
    const std::vector<std::string> comboNames = store::comboNameFields(dataDir);
    for (std::size_t i = 0; i < comboNames.size(); ++i) {
        if (base::trimBlanks(comboNames[i]).empty()) {
            continue;
        }
        const auto number = static_cast<int32_t>(i + 1);
        auto record = store::readCombo(dataDir, number);
        if (!record) {
            return base::Status::failure("Cannot read combination record " +
                                         std::to_string(number) + " of " +
                                         store::comboDbPath(dataDir) + ".");
        }
        TextCombination c{base::trimTrailingBlanks(record->Name),
                          base::trimTrailingBlanks(record->Version),
                          base::trimTrailingBlanks(record->Description),
                          record->NodeAddress,
                          record->StartingMacroNum,
                          {}};
        for (std::size_t s = 0; s < store::kSequenceSlots; ++s) {
            const int32_t value = record->Sequence[s];
            if (value < 1) {
                continue;
            }
            TextSlot slot{static_cast<int>(s) + 1, std::nullopt};
            if (static_cast<std::size_t>(value) <= names.size() &&
                !base::trimBlanks(names[static_cast<std::size_t>(value) - 1]).empty()) {
                slot.macro = base::trimTrailingBlanks(names[static_cast<std::size_t>(value) - 1]);
            }
            c.slots.push_back(std::move(slot));
        }
        library.combinations.push_back(std::move(c));
    }
    nameTheFiles(library.macros);
    return library;
}

// The macro files an earlier export in folder wrote, or nothing when folder
// may not be written into.
std::optional<std::set<std::string>> earlierExport(const std::string& folder) {
    std::error_code error;
    if (fs::is_empty(folder, error) && !error) {
        return std::set<std::string>{};
    }
    auto index = base::readWholeFile(folder + kMacroIndexFile);
    if (!index || index->rfind(kMacroIndexHeader, 0) != 0) {
        return std::nullopt;
    }
    std::set<std::string> files;
    if (auto macros = parseMacroIndex(*index)) {
        for (const TextMacro& macro : *macros) {
            files.insert(macro.file);
        }
    }
    return files;
}

base::Status writeIfChanged(const std::string& path, const std::string& content) {
    auto old = base::readWholeFile(path);
    if (old && *old == content) {
        return base::Status::success();
    }
    return base::replaceFile(path, content);
}

// The files and folders an export creates; unless kept, they are removed
// again, so that an export that fails part way (a full disk) leaves no half
// export that the next one would refuse as a folder holding something else.
// Files of an earlier export that it rewrote keep their new, whole text.
class CreatedFiles {
  public:
    CreatedFiles(const std::string& folder, const std::string& textFolder) {
        std::error_code error;
        for (const std::string& f : {folder, textFolder}) {
            if (!fs::exists(f, error)) {
                m_folders.insert(m_folders.begin(), f);
            }
        }
    }
    CreatedFiles(const CreatedFiles&) = delete;
    CreatedFiles& operator=(const CreatedFiles&) = delete;
    ~CreatedFiles() {
        if (m_kept) {
            return;
        }
        std::error_code error;
        for (const std::string& file : m_files) {
            fs::remove(file, error);
        }
        for (const std::string& f : m_folders) {
            fs::remove(f, error);  // only when empty
        }
    }

    base::Status write(const std::string& path, const std::string& content) {
        std::error_code error;
        const bool isNew = !fs::exists(fs::symlink_status(path, error));
        base::Status s = writeIfChanged(path, content);
        if (s && isNew) {
            m_files.push_back(path);
        }
        return s;
    }
    void keep() { m_kept = true; }

  private:
    std::vector<std::string> m_folders;  // innermost first
    std::vector<std::string> m_files;
    bool m_kept = false;
};

// A file or folder of the export, opened only when it is what it should be
// and reached without following a link (the export folder itself is the
// user's choice; nothing inside it may lead out of it).
base::Result<base::UniqueFd> openInside(int folderFd, const std::string& shownPath,
                                        const std::string& name, bool folder) {
    struct stat st {};
    if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return base::Status::failure("Cannot open " + shownPath + ": " + std::strerror(errno) +
                                     ".");
    }
    const bool kindRight = folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
    if (!kindRight) {
        return base::Status::failure(folder && S_ISREG(st.st_mode)
                                         ? shownPath + " is a file, not a folder."
                                         : store::notRegularReason(shownPath, st.st_mode));
    }
    base::UniqueFd fd(
        ::openat(folderFd, name.c_str(),
                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (folder ? O_DIRECTORY : 0)));
    struct stat opened {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || opened.st_ino != st.st_ino ||
        opened.st_dev != st.st_dev) {
        return base::Status::failure("Cannot open " + shownPath +
                                     ": it changed while it was read.");
    }
    return fd;
}

// The bytes of a regular file of the export, refused by its size before a
// byte is read when it is longer than `limit`.
base::Result<std::string> readInside(int folderFd, const std::string& shownPath,
                                     const std::string& name, std::uintmax_t limit,
                                     const std::function<std::string(std::uintmax_t)>& tooLong) {
    auto fd = openInside(folderFd, shownPath, name, false);
    if (!fd) {
        return fd.status();
    }
    struct stat st {};
    if (::fstat(fd->get(), &st) != 0) {
        return base::Status::failure("Cannot examine " + shownPath + ".");
    }
    if (static_cast<std::uintmax_t>(st.st_size) > limit) {
        return base::Status::failure(tooLong(static_cast<std::uintmax_t>(st.st_size)));
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd->get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return base::Status::failure("Cannot read " + shownPath + ": " + std::strerror(errno) +
                                         ".");
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > limit) {
            // It grew while it was read.
            return base::Status::failure("Cannot read " + shownPath +
                                         ": it changed while it was read.");
        }
    }
    return bytes;
}

}  // namespace

ExchangeResult exportLibrary(const std::string& dataDir, const std::string& folderName) {
    const std::string folder = base::withTrailingSlash(folderName);
    std::string duplicates;
    base::Result<Library> library = [&]() -> base::Result<Library> {
        // One consistent library, not one that another program changes
        // while it is read.
        // It reads and renames nothing: an interrupted write waits for the
        // next writer.
        auto lock = store::LibraryLock::acquireToRead(dataDir);
        if (!lock) {
            return lock.status();
        }
        // Half a write is not exported: the next writer finishes it first.
        if (store::writesWereInterrupted(dataDir)) {
            return base::Status::failure(kWriteWaits + std::string(" Nothing was exported."));
        }
        // A database that cannot be read is no empty library.
        if (base::Status usable = store::checkDatabases(dataDir); !usable) {
            return base::Status::failure(usable.message() + " Nothing was exported.");
        }
        return readLibrary(dataDir, duplicates);
    }();
    if (!library) {
        return failed(library.status());
    }
    if (!duplicates.empty()) {
        return refused("More than one macro is named " + duplicates +
                       "; a sequence could not say which one it holds. Rename one of them. "
                       "Nothing was exported.");
    }
    std::error_code error;
    const fs::file_status status = fs::status(folderName, error);
    if (fs::exists(status) && !fs::is_directory(status)) {
        return refused(folderName + " is not a folder. Nothing was exported.");
    }
    const auto earlier =
        fs::exists(status) ? earlierExport(folder) : std::make_optional(std::set<std::string>());
    if (!earlier) {
        return refused(folderName +
                       " is not empty and holds no earlier export. Nothing was exported.");
    }
    const std::string textFolder = folder + kMacroTextFolder + "/";
    const fs::file_status textStatus = fs::symlink_status(folder + kMacroTextFolder, error);
    if (fs::exists(textStatus) && !fs::is_directory(textStatus)) {
        // Not even a link to a folder: the texts would be written elsewhere.
        return refused(folder + kMacroTextFolder + " is not a folder. Nothing was exported.");
    }
    CreatedFiles created(folder, textFolder);
    fs::create_directories(textFolder, error);
    if (error) {
        return failed(
            base::Status::failure("Cannot create " + textFolder + ": " + error.message() + "."));
    }
    std::set<std::string> written;
    for (std::size_t i = 0; i < library->macros.size(); ++i) {
        const std::string& file = library->macros[i].file;
        if (base::Status s = created.write(textFolder + file, library->texts[i]); !s) {
            return failed(std::move(s));
        }
        written.insert(file);
    }
    if (base::Status s = created.write(folder + kMacroIndexFile, writeMacroIndex(library->macros));
        !s) {
        return failed(std::move(s));
    }
    if (base::Status s =
            created.write(folder + kCombinationsFile, writeCombinations(library->combinations));
        !s) {
        return failed(std::move(s));
    }
    created.keep();
    for (const std::string& file : *earlier) {
        if (written.count(file) == 0 && safeMacroFileName(file)) {
            // A macro deleted since the earlier export; its file goes too.
            fs::remove(textFolder + file, error);
        }
    }
    ExchangeResult result;
    result.outcome = EditOutcome::Done;
    result.macros = static_cast<int>(library->macros.size());
    result.combinations = static_cast<int>(library->combinations.size());
    return result;
}

namespace {

constexpr const char* kNothingImported = " Nothing was imported.";

// Why the data folder cannot take an import (an import starts a library
// afresh in an empty one); nothing when it can.
std::optional<ExchangeResult> refusalOfNonEmptyLibrary(const std::string& dataDir) {
    for (auto [path, length] :
         {std::pair{store::macroDbPath(dataDir), store::kMacroRecordLength},
          std::pair{store::comboDbPath(dataDir), store::kComboRecordLength}}) {
        auto count = store::countRecords(path, length);
        if (!count) {
            return failed(base::Status::failure(count.message() + kNothingImported));
        }
        if (*count > 0) {
            return refused("The data folder " + dataDir +
                           " already holds macros or combinations; an import starts a library "
                           "afresh in an empty one. Nothing was imported.");
        }
    }
    return std::nullopt;
}

// The two index files of an export, read and parsed, and the folder of its
// macro texts (open only when there are macros). A failure says why the
// export was refused.
struct ExportIndex {
    std::vector<TextMacro> macros;
    std::vector<TextCombination> combinations;
    std::string textFolder;
    base::UniqueFd textFolderFd;
};

base::Result<ExportIndex> readExportIndex(const std::string& folderName) {
    const std::string folder = base::withTrailingSlash(folderName);
    base::UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.valid()) {
        return base::Status::failure("Cannot open the folder " + folderName + ": " +
                                     std::strerror(errno) + "." + kNothingImported);
    }
    auto tooLongIndex = [](const std::string& path) {
        return [path](std::uintmax_t size) {
            return path + " has " + std::to_string(size) +
                   " bytes, more than the export of the largest library holds.";
        };
    };
    auto indexText = readInside(folderFd.get(), folder + kMacroIndexFile, kMacroIndexFile,
                                kMacroIndexLimit, tooLongIndex(folder + kMacroIndexFile));
    if (!indexText) {
        return base::Status::failure(indexText.message() + kNothingImported);
    }
    auto macros = parseMacroIndex(*indexText);
    if (!macros) {
        return base::Status::failure(macros.message() + kNothingImported);
    }
    auto comboText = readInside(folderFd.get(), folder + kCombinationsFile, kCombinationsFile,
                                kCombinationsLimit, tooLongIndex(folder + kCombinationsFile));
    if (!comboText) {
        return base::Status::failure(comboText.message() + kNothingImported);
    }
    auto combinations = parseCombinations(*comboText);
    if (!combinations) {
        return base::Status::failure(combinations.message() + kNothingImported);
    }
    ExportIndex index;
    index.macros = std::move(*macros);
    index.combinations = std::move(*combinations);
    index.textFolder = folder + kMacroTextFolder;
    if (!index.macros.empty()) {
        auto opened = openInside(folderFd.get(), index.textFolder, kMacroTextFolder, true);
        if (!opened) {
            return base::Status::failure(opened.message() + kNothingImported);
        }
        index.textFolderFd = std::move(*opened);
    }
    return index;
}

// The macro database's records, in index order, and the record number of
// each macro by its 12-character name.
struct ImportedMacros {
    std::string bytes;
    std::map<std::string, int32_t> numbers;
};

base::Result<ImportedMacros> encodeMacros(const ExportIndex& index) {
    ImportedMacros out;
    for (const TextMacro& macro : index.macros) {
        const std::string name = base::fixedWidth(macro.name, store::kMacroNameWidth);
        if (base::trimBlanks(macro.name).empty() ||
            base::trimTrailingBlanks(macro.name).size() > store::kMacroNameWidth ||
            base::trimTrailingBlanks(macro.reserved).size() > kReservedWidth) {
            return base::Status::failure(
                "The macro " + quoteText(macro.name) + " in " + kMacroIndexFile +
                " has a blank or too long name or reserved text. Nothing was imported.");
        }
        if (base::holdsControlByte(macro.name)) {
            return base::Status::failure(
                "The macro name " + quoteText(macro.name) + " in " + kMacroIndexFile +
                " holds a control character; a name is printable text. Nothing was imported.");
        }
        if (out.numbers.count(name) > 0) {
            return base::Status::failure("The macro " + quoteText(macro.name) +
                                         " is listed twice in " + kMacroIndexFile + "." +
                                         kNothingImported);
        }
        auto text = readInside(
            index.textFolderFd.get(), index.textFolder + "/" + macro.file, macro.file,
            store::kMacroBodyWidth, [&](std::uintmax_t size) {
                return "The text file of macro " + quoteText(macro.name) + " has " +
                       std::to_string(size) + " bytes; a macro holds at most " +
                       std::to_string(store::kMacroBodyWidth) + " characters. It was not read.";
            });
        if (!text) {
            return base::Status::failure(text.message() + kNothingImported);
        }
        store::MacroRecord record;
        record.Name = name;
        record.Reserved = base::fixedWidth(macro.reserved, kReservedWidth);
        record.Body = base::fixedWidth(*text, store::kMacroBodyWidth);
        out.bytes += record.encode();
        out.numbers[name] = static_cast<int32_t>(out.numbers.size() + 1);
    }
    return out;
}

// The combination database's records. A sequence slot of a deleted macro
// points at one blank macro record, which is then appended to the macros.
base::Result<std::string> encodeCombinations(const std::vector<TextCombination>& combinations,
                                             ImportedMacros& macros) {
    std::string comboBytes;
    int32_t deletedRecord = 0;         // one blank record stands for every deleted macro
    std::set<std::string> comboNames;  // 16-character names
    for (const TextCombination& c : combinations) {
        if (base::trimBlanks(c.name).empty() ||
            base::trimTrailingBlanks(c.name).size() > store::kComboNameWidth ||
            base::trimTrailingBlanks(c.version).size() > kVersionWidth ||
            base::trimTrailingBlanks(c.description).size() > kDescriptionWidth) {
            return base::Status::failure("The combination " + quoteText(c.name) + " in " +
                                         kCombinationsFile +
                                         " has a blank or too long name, version or "
                                         "description. Nothing was imported.");
        }
        if (base::holdsControlByte(c.name)) {
            return base::Status::failure(
                "The combination name " + quoteText(c.name) + " in " + kCombinationsFile +
                " holds a control character; a name is printable text. Nothing was imported.");
        }
        if (!comboNames.insert(base::fixedWidth(c.name, store::kComboNameWidth)).second) {
            return base::Status::failure("The combination " + quoteText(c.name) +
                                         " is given twice in " + kCombinationsFile + "." +
                                         kNothingImported);
        }
        store::ComboRecord record;
        record.Name = base::fixedWidth(c.name, store::kComboNameWidth);
        record.Version = base::fixedWidth(c.version, kVersionWidth);
        record.Description = base::fixedWidth(c.description, kDescriptionWidth);
        record.NodeAddress = c.node;
        record.StartingMacroNum = c.boot;
        for (const TextSlot& slot : c.slots) {
            int32_t number = 0;
            if (!slot.macro) {
                if (deletedRecord == 0) {
                    deletedRecord = static_cast<int32_t>(macros.numbers.size() + 1);
                }
                number = deletedRecord;
            } else {
                auto found =
                    macros.numbers.find(base::fixedWidth(*slot.macro, store::kMacroNameWidth));
                if (found == macros.numbers.end()) {
                    return base::Status::failure("The combination " + quoteText(c.name) +
                                                 " holds the macro " + quoteText(*slot.macro) +
                                                 ", which " + kMacroIndexFile + " does not list." +
                                                 kNothingImported);
                }
                number = found->second;
            }
            record.Sequence[static_cast<std::size_t>(slot.position) - 1] = number;
        }
        comboBytes += record.encode();
    }
    if (deletedRecord != 0) {
        macros.bytes += store::MacroRecord{}.encode();
    }
    return comboBytes;
}

}  // namespace

ExchangeResult importLibrary(const std::string& dataDir, const std::string& folderName) {
    // From the check that the library is empty to the write of the new one.
    auto lock = store::LibraryLock::acquire(dataDir);
    if (!lock) {
        return failed(lock.status());
    }
    if (auto refusal = refusalOfNonEmptyLibrary(dataDir)) {
        return std::move(*refusal);
    }
    auto index = readExportIndex(folderName);
    if (!index) {
        return refused(index.message());
    }
    auto macros = encodeMacros(*index);
    if (!macros) {
        return refused(macros.message());
    }
    auto combinations = encodeCombinations(index->combinations, *macros);
    if (!combinations) {
        return refused(combinations.message());
    }
    // Both databases are replaced whole, or neither, even by a crash.
    if (base::Status s = store::replaceLibrary(dataDir, macros->bytes, *combinations); !s) {
        return failed(std::move(s));
    }
    ExchangeResult result;
    result.outcome = EditOutcome::Done;
    result.macros = static_cast<int>(index->macros.size());
    result.combinations = static_cast<int>(index->combinations.size());
    return result;
}

}  // namespace brindle::library
