#pragma once
// A program run as a child process with its own environment additions and,
// for the disk-full tests, a file-size limit (SIGXFSZ ignored, so a write past
// the limit fails with EFBIG as on a full disk). Output is read through pipes,
// which the limit does not touch.
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace brindle::testing {

struct ChildOptions {
    std::vector<std::string> env;       // "NAME=VALUE", added to the test's environment
    std::string input;                  // standard input
    std::optional<long> fileSizeLimit;  // in bytes
};

struct ChildResult {
    int status = -1;  // exit status, -1 when killed by a signal
    int signal = 0;   // the signal that ended it, 0 when it exited
    std::string out;
    std::string err;
    double cpuSeconds = 0;  // user and system time the child used
    bool timedOut = false;  // killed because it ran past the time it was given
};

class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads the output to its end and reaps the child.
    ChildResult wait();
    // The same, but a child still running after timeoutMs is killed
    // (SIGKILL) and reported as timed out.
    ChildResult waitAtMost(int timeoutMs);

    pid_t pid() const { return m_pid; }
    void sendSignal(int signal);

  private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    std::optional<ChildResult> m_result;
};

// Starts the program and waits for it.
ChildResult runChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

}  // namespace brindle::testing
