#pragma once
// The help document "helpmacro.rtf" in the program's folder: read into the
// document model and written back as RTF. A save writes the file whole
// (a temporary file, then a rename), so a failed save leaves the old file as
// it was and never an empty or short one.
#include <string>

#include "base/status.h"
#include "base/text.h"
#include "richtext/document.h"

namespace brindle::richtext {

inline constexpr const char* kHelpFileName = "helpmacro.rtf";

// programDir with or without a trailing '/'. Inline, so that the data
// folder's rule can name the file without the RTF code.
inline std::string helpFilePath(const std::string& programDir) {
    return base::withTrailingSlash(programDir) + kHelpFileName;
}

// A missing file is created empty and reads as an empty document; a file that
// is not RTF is read as plain text. A failure says why the file cannot be read.
base::Result<Document> loadHelpDocument(const std::string& path);

base::Status saveHelpDocument(const std::string& path, const Document& document);

}  // namespace brindle::richtext
