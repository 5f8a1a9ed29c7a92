#pragma once
// brindle-cli as a child process: its exit status and what it wrote to
// standard output and standard error (through files in a folder of the test).
#include <string>
#include <vector>

namespace brindle::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs cli with args; its standard input is empty, its output goes to
// folder + "cli.out" and "cli.err".
CliResult runCliCapturing(const std::string& cli, const std::vector<std::string>& args,
                          const std::string& folder);

}  // namespace brindle::testing
