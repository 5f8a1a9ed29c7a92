#include "tests/e2e/modsim_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace brindle::testing {

namespace {

constexpr int kStartTimeoutMs = 5000;

}  // namespace

std::string ModsimProcess::executable() {
    return BRINDLE_MODSIM_PATH;
}

ModsimProcess::ModsimProcess(const std::vector<std::string>& options) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> args{executable()};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    m_pid = ::fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    m_stdout = pipeFds[0];

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    std::string line;
    while (line.empty() || line.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd pfd{m_stdout, POLLIN, 0};
        char c = 0;
        if (left <= 0 || ::poll(&pfd, 1, static_cast<int>(left)) <= 0 ||
            ::read(m_stdout, &c, 1) != 1) {
            stop();
            throw std::runtime_error("brindle-modsim did not print its terminal path");
        }
        line += c;
    }
    line.pop_back();
    m_device = line;
}

ModsimProcess::~ModsimProcess() {
    stop();
}

void ModsimProcess::kill() {
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    if (m_stdout >= 0) {
        ::close(m_stdout);
        m_stdout = -1;
    }
}

bool ModsimProcess::stop() {
    if (m_pid <= 0) {
        return true;
    }
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    if (m_stdout >= 0) {
        ::close(m_stdout);
        m_stdout = -1;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> modsimOptionsIn(const std::string& folder,
                                         const std::vector<std::string>& extra) {
    std::vector<std::string> options = {"--link",          folder + "com1", "--eeprom",
                                        folder + "ee.bin", "--log",         folder + "wire.bin",
                                        "--baud",          "38400"};
    options.insert(options.end(), extra.begin(), extra.end());
    return options;
}

}  // namespace brindle::testing
