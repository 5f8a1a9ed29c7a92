#pragma once
// Runs the built brindle-cli as a script would, in a test's own folder, and
// keeps its exit status and output bytes.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/temp_dir.h"

namespace brindle::testing {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliRunner {
  public:
    explicit CliRunner(std::string executable) : m_executable(std::move(executable)) {}

    // args are already quoted for the shell; input is the standard input.
    CliRun run(const std::string& args, const std::string& input = "") const {
        writeBytes(m_io.file("stdin"), input);
        const std::string command = "'" + m_executable + "' " + args + " <'" + m_io.file("stdin") +
                                    "' >'" + m_io.file("stdout") + "' 2>'" + m_io.file("stderr") +
                                    "'";
        const int raw = std::system(command.c_str());
        CliRun r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readBytes(m_io.file("stdout"));
        r.err = readBytes(m_io.file("stderr"));
        return r;
    }

  private:
    std::string m_executable;
    TempDir m_io;
};

}  // namespace brindle::testing
