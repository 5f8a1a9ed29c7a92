#pragma once
// The Macro Module on a POSIX pseudo-terminal: the program opens the terminal
// device as its serial port, the server sits on the master side and answers
// through a ModuleModel, pacing the line both ways at the configured speed.
// Answer bytes reach the terminal in groups, as a UART's receive FIFO hands
// them over: every fifoBytes bytes, and at the end of each answer.
#include <csignal>
#include <cstdint>
#include <deque>
#include <string>

#include "sim/modsim_options.h"
#include "sim/module_model.h"

namespace brindle::sim {

class PtyServer {
  public:
    explicit PtyServer(ModsimConfig config);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Opens the terminal, loads the E2PROM, creates the link. False and a
    // reason in error when something fails.
    bool start(std::string& error);
    const std::string& devicePath() const { return m_device; }
    // Serves until stopRequested becomes non-zero (a signal handler sets it).
    // Signals should be blocked by the caller; waitMask (the mask to wait
    // with, normally the original one) lets them in only while waiting, so a
    // stop is never missed between the check and the wait.
    void run(const volatile std::sig_atomic_t& stopRequested, const sigset_t* waitMask);
    // Saves the E2PROM and removes the link.
    void finish();

  private:
    void readFromProgram(int64_t now);
    // Hands the module the bytes whose ten bits have crossed the line by now.
    void receiveDue(int64_t now);
    void queue(const std::string& bytes, int64_t at);
    void writeDue(int64_t now);
    void saveWritten();
    void saveAll();

    ModsimConfig m_config;
    ModuleModel m_model;
    int m_master = -1;
    int m_slave = -1;
    int m_eepromFd = -1;
    int m_logFd = -1;
    std::string m_device;
    bool m_linked = false;
    // Answer bytes and the time each one is handed to the terminal.
    std::deque<std::pair<int64_t, char>> m_out;
    int64_t m_lineFreeAt = 0;
    // Bytes from the program and the time each one has crossed the line: the
    // terminal hands them over at once, a real line takes ten bits a byte.
    std::deque<std::pair<int64_t, char>> m_in;
    int64_t m_inLineFreeAt = 0;
    int64_t m_nextChatter = 0;
};

}  // namespace brindle::sim
