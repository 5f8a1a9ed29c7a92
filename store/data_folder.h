#pragma once
// Where the data files live. A program folder the user may write (a build
// folder, a copy of the program in the user's own folders, the demo) holds
// them, as it always has. An installed program keeps them in the user's data
// folder, $XDG_DATA_HOME/brindle (by default ~/.local/share/brindle): its
// folder is either not writable or, as for root, a system folder (bin/ beside
// an installed share/brindle/). The help document is then read from the
// user's folder once the user has saved one there, and from the installed
// copy in share/brindle/ until then.
#include <string>

#include "base/status.h"

namespace brindle::store {

// What the rule looks at.
struct DataFolderFacts {
    std::string programDir;           // the executable's folder
    bool programDirWritable = false;  // by this process
    std::string installedShare;       // programDir/../share/brindle/ when it exists, else ""
    std::string xdgDataHome;          // "" when unset
    std::string home;                 // "" when unset
};

struct DataFolder {
    std::string path;  // with a trailing '/'
    bool userFolder = false;
    // The installed help document, read while the user's folder has none
    // ("" for a program folder).
    std::string installedHelpDocument;
};

// The rule itself, on the facts given.
base::Result<DataFolder> chooseDataFolder(const DataFolderFacts& facts);

// The facts of this process for the executable's folder.
DataFolderFacts dataFolderFacts(const std::string& programDir);

// The data folder of the window and of brindle-cli without --data: the rule
// on this process's facts. A user's folder is created on first use (with its
// parents), so it exists once this succeeds.
base::Result<DataFolder> locateDataFolder(const std::string& programDir);

// The help document the help window shows: the folder's own copy when it has
// one, otherwise the installed copy. Save Changes always writes the folder's.
std::string helpDocumentToRead(const DataFolder& folder);

}  // namespace brindle::store
