#include "store/data_folder.h"

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "base/text.h"
#include "richtext/help_file.h"

namespace brindle::store {

namespace {

namespace fs = std::filesystem;

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool absolutePath(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

base::Status makeFolders(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error) {
        return base::Status::failure("Cannot create the data folder " + path + ": " +
                                     error.message() + ".");
    }
    if (!fs::is_directory(path, error)) {
        return base::Status::failure("Cannot use " + path +
                                     " as the data folder: it is not a folder.");
    }
    return base::Status::success();
}

}  // namespace

base::Result<DataFolder> chooseDataFolder(const DataFolderFacts& facts) {
    if (facts.programDirWritable && facts.installedShare.empty()) {
        return DataFolder{base::withTrailingSlash(facts.programDir), false, ""};
    }
    // The XDG base directory rules ignore a relative XDG_DATA_HOME.
    std::string base;
    if (absolutePath(facts.xdgDataHome)) {
        base = facts.xdgDataHome;
    } else if (absolutePath(facts.home)) {
        base = base::withTrailingSlash(facts.home) + ".local/share";
    } else {
        return base::Status::failure("No folder for the data files: the program's folder " +
                                     facts.programDir +
                                     " is not the user's, and neither XDG_DATA_HOME nor HOME "
                                     "names a folder.");
    }
    DataFolder folder{base::withTrailingSlash(base) + "brindle/", true, ""};
    if (!facts.installedShare.empty()) {
        folder.installedHelpDocument = richtext::helpFilePath(facts.installedShare);
    }
    return folder;
}

DataFolderFacts dataFolderFacts(const std::string& programDir) {
    DataFolderFacts facts;
    facts.programDir = programDir;
    facts.programDirWritable = ::access(programDir.c_str(), W_OK) == 0;
    std::error_code error;
    const fs::path share =
        fs::weakly_canonical(fs::path(programDir) / ".." / "share" / "brindle", error);
    if (!error && fs::is_directory(share, error)) {
        facts.installedShare = base::withTrailingSlash(share.string());
    }
    facts.xdgDataHome = environmentValue("XDG_DATA_HOME");
    facts.home = environmentValue("HOME");
    return facts;
}

base::Result<DataFolder> locateDataFolder(const std::string& programDir) {
    base::Result<DataFolder> folder = chooseDataFolder(dataFolderFacts(programDir));
    if (folder && folder->userFolder) {
        if (base::Status made = makeFolders(folder->path); !made) {
            return made;
        }
    }
    return folder;
}

std::string helpDocumentToRead(const DataFolder& folder) {
    const std::string own = richtext::helpFilePath(folder.path);
    if (folder.installedHelpDocument.empty() || ::access(own.c_str(), F_OK) == 0) {
        return own;
    }
    return folder.installedHelpDocument;
}

}  // namespace brindle::store
