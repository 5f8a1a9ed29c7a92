#pragma once
// Writing a set of bytes into the module as a download writes its image:
// "Z" to location 3 first (the image is incomplete from here on), then each
// byte with WriteAndVerify, then "X". A byte that is not confirmed ends the
// run as the download's failure does: nothing more is sent, and location 3
// is left "Z" (an "X" whose confirmation failed is put back to "Z").
// Progress goes to the download's view: the percentage of the bytes, and the
// whole run's progress with the macro each byte belongs to.
#include <string>
#include <vector>

#include "contents/change_plan.h"
#include "download/download_view.h"
#include "link/link_context.h"

namespace brindle::contents {

struct MarkedWritesResult {
    bool succeeded = false;
    int confirmed = 0;  // bytes confirmed, the marks included
};

// macroNames: the names shown for TargetByte::macro (may be empty).
MarkedWritesResult writeMarked(link::LinkContext& ctx, download::DownloadView& view,
                               const std::vector<TargetByte>& writes,
                               const std::vector<std::string>& macroNames);

}  // namespace brindle::contents
