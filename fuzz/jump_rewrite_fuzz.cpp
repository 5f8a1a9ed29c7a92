// Compares the jump expansion and the whole status-argument rewrite with the
// reference rewrite (the plain rebuild-and-search form) on arbitrary bytes:
// any difference in a result or a refusal aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "macrotext/jump_expansion.h"
#include "macrotext/status_arguments.h"
#include "tests/macrotext/reference_rewrite.h"

namespace {

using namespace brindle;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    require(macrotext::expandJumps(text) == testing::reference::expandJumps(text));

    base::Result<std::string> fast = macrotext::rewriteStatusArguments(text);
    base::Result<std::string> slow = testing::reference::rewriteStatusArguments(text);
    require(fast.ok() == slow.ok());
    require(fast.message() == slow.message());
    require(!fast.ok() || *fast == *slow);
    return 0;
}
