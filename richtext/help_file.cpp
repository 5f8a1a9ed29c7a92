#include "richtext/help_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "base/files.h"
#include "base/text.h"
#include "richtext/reader.h"
#include "richtext/writer.h"

namespace brindle::richtext {

base::Result<Document> loadHelpDocument(const std::string& path) {
    // Opening a missing help file creates it empty, so that the window opens
    // on an empty document the user can fill and save.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        return base::Status::failure("Cannot open " + path + ": " + std::strerror(errno) + ".");
    }
    ::close(fd);
    base::Result<std::string> bytes = base::readWholeFile(path);
    if (!bytes) {
        return bytes.status();
    }
    return looksLikeRtf(*bytes) ? readRtf(*bytes) : readPlainText(*bytes);
}

base::Status saveHelpDocument(const std::string& path, const Document& document) {
    return base::replaceFile(path, writeRtf(document));
}

}  // namespace brindle::richtext
