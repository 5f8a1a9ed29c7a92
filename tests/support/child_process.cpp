#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

extern char** environ;

namespace brindle::testing {
namespace {

std::vector<char*> pointers(std::vector<std::string>& words) {
    std::vector<char*> out;
    for (std::string& w : words) {
        out.push_back(w.data());
    }
    out.push_back(nullptr);
    return out;
}

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options) {
    std::vector<std::string> args = argv;
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), options.env.begin(), options.env.end());
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(env);

    int in[2];
    int out[2];
    int err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    m_pid = ::fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        // Only async-signal-safe calls from here to exec.
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        if (options.fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit),
                               static_cast<rlim_t>(*options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    m_out = out[0];
    m_err = err[0];
    // The input is small: it fits the pipe, so writing it all cannot block.
    const std::string& input = options.input;
    std::size_t done = 0;
    while (done < input.size()) {
        const ssize_t n = ::write(in[1], input.data() + done, input.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(in[1]);
}

ChildProcess::~ChildProcess() {
    if (!m_result && m_pid > 0) {
        wait();
    }
    closeIfOpen(m_out);
    closeIfOpen(m_err);
}

ChildResult ChildProcess::wait() {
    if (m_result) {
        return *m_result;
    }
    ChildResult result;
    char buffer[4096];
    while (m_out >= 0 || m_err >= 0) {
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        for (int i = 0; i < 2; ++i) {
            int& fd = i == 0 ? m_out : m_err;
            if (fd < 0 || fds[i].revents == 0) {
                continue;
            }
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                closeIfOpen(fd);
            } else {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    m_result = result;
    return result;
}

ChildResult runChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildProcess child(argv, options);
    return child.wait();
}

}  // namespace brindle::testing
