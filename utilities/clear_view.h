#pragma once
// What the clear utility shows: the progress frame of the download (status
// line, bar, percent caption, "Verifying.....") and the two buttons a clear
// disables.
#include "link/views.h"

namespace brindle::utilities {

class ClearView : public link::ProgressView {
  public:
    // Download and the clear utility's frame together.
    virtual void enableDownloadAndClear(bool enabled) = 0;
};

}  // namespace brindle::utilities
