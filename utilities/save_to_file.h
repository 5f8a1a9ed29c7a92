#pragma once
// Save to File: the E2PROM text written to a file the user names, exactly as
// shown (one byte per character, lines ended by CR LF, nothing added).
#include <string>

#include "base/prompter.h"
#include "base/status.h"

namespace brindle::utilities {

// The SaveCmd check: true when there is a text to save; otherwise the user
// is told to read first.
bool readyToSave(const std::string& text, base::Prompter& prompter);

// Writes text to fileName; an empty name (a cancelled dialog) does nothing.
// The file is replaced as a whole, so a failure leaves the old one; the
// failure is shown and returned.
base::Status SaveToFile(const std::string& fileName, const std::string& text,
                        base::Prompter& prompter);

}  // namespace brindle::utilities
