#pragma once
// brindle-modsim as a child process for end-to-end tests: started with the
// given options, its terminal path read from the first line it prints, and
// stopped with SIGTERM (which makes it save its E2PROM file and close its log).
#include <sys/types.h>
#include <string>
#include <vector>

namespace brindle::testing {

class ModsimProcess {
  public:
    // Throws std::runtime_error when the simulator does not start.
    explicit ModsimProcess(const std::vector<std::string>& options = {});
    ~ModsimProcess();
    ModsimProcess(const ModsimProcess&) = delete;
    ModsimProcess& operator=(const ModsimProcess&) = delete;

    const std::string& devicePath() const { return m_device; }
    // Stops the simulator and waits for it; true when it ended cleanly.
    bool stop();
    // Kills it at once (SIGKILL), as a crash or a pulled cable ends the far
    // side: the terminal hangs up. Its E2PROM file holds every byte stored.
    void kill();

    // Where the executable is (set by the build).
    static std::string executable();

  private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::string m_device;
};

// The options most tests start a simulator with, in folder (a path that ends
// with its separator): its terminal linked as "com1", its E2PROM "ee.bin",
// its log "wire.bin", the line at 38400 baud; then extra.
std::vector<std::string> modsimOptionsIn(const std::string& folder,
                                         const std::vector<std::string>& extra = {});

}  // namespace brindle::testing
