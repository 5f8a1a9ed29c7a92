// Time of the status-argument rewrite on one long line heavy in ">", for the
// production rewrite and the reference it replaced (which rebuilds and
// searches the whole line for every jump). Reports figures only.
//
//   bench_jump_rewrite [--no-reference] [KIB...]     (default 16 64 256)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "macrotext/status_arguments.h"
#include "tests/macrotext/reference_rewrite.h"

namespace {

using Rewrite = brindle::base::Result<std::string> (*)(std::string_view);

struct Shape {
    const char* name;
    std::string_view unit;
};

// A condition with its jump, as the macro language writes it; a line of
// nothing but jumps; and chained conditions after jumps.
constexpr Shape kShapes[] = {
    {"\"1 ST 3 >A \" repeated", "1 ST 3 >A "},
    {"\">\" repeated", ">"},
    {"\">ST 1 \" repeated", ">ST 1 "},
};

std::string lineOf(std::string_view unit, std::size_t bytes) {
    std::string line;
    line.reserve(bytes + unit.size());
    while (line.size() < bytes) {
        line += unit;
    }
    line.resize(bytes);
    return line;
}

// Seconds for one rewrite; the result goes to out.
double timed(Rewrite rewrite, const std::string& text, std::string& out) {
    auto start = std::chrono::steady_clock::now();
    brindle::base::Result<std::string> result = rewrite(text);
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    out = result.ok() ? *result : "refused: " + result.message();
    return spent.count();
}

}  // namespace

int main(int argc, char** argv) {
    bool withReference = true;
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-reference") == 0) {
            withReference = false;
        } else {
            sizes.push_back(static_cast<std::size_t>(std::strtoul(argv[i], nullptr, 10)));
        }
    }
    if (sizes.empty()) {
        sizes = {16, 64, 256};
    }
    std::printf("%-24s %8s %12s %12s %10s\n", "line", "KiB", "before (s)", "after (s)", "same");
    for (const Shape& shape : kShapes) {
        for (std::size_t kib : sizes) {
            std::string text = lineOf(shape.unit, kib * 1024);
            std::string fast;
            double after = timed(brindle::macrotext::rewriteStatusArguments, text, fast);
            if (!withReference) {
                std::printf("%-24s %8zu %12s %12.4f %10s\n", shape.name, kib, "-", after, "-");
                continue;
            }
            std::string slow;
            double before = timed(brindle::testing::reference::rewriteStatusArguments, text, slow);
            std::printf("%-24s %8zu %12.3f %12.4f %10s\n", shape.name, kib, before, after,
                        fast == slow ? "yes" : "NO");
            std::fflush(stdout);
        }
    }
    return 0;
}
