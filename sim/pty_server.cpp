#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "sim/line_timing.h"

namespace brindle::sim {

namespace {

int64_t nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A chatter line is only added while fewer bytes than this wait to leave, so
// a program that is not reading does not make the queue grow without end.
constexpr std::size_t kChatterBacklog = 256;

}  // namespace

PtyServer::PtyServer(ModsimConfig config) : m_config(std::move(config)), m_model(m_config.module) {}

PtyServer::~PtyServer() {
    finish();
    for (int fd : {m_master, m_slave, m_eepromFd, m_logFd}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool PtyServer::start(std::string& error) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    m_device = ::ptsname(m_master);
    // Holding the terminal side open keeps the master readable while the
    // program closes and reopens its port; raw mode stops the line discipline
    // from echoing or translating anything sent before the program opens it.
    m_slave = ::open(m_device.c_str(), O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        error = "cannot open " + m_device + ": " + std::strerror(errno);
        return false;
    }
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slave, TCSANOW, &tio);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    if (!m_config.eepromFile.empty()) {
        m_eepromFd = ::open(m_config.eepromFile.c_str(), O_RDWR | O_CREAT, 0644);
        if (m_eepromFd < 0) {
            error = "cannot open " + m_config.eepromFile + ": " + std::strerror(errno);
            return false;
        }
        auto& e = m_model.eeprom();
        const ssize_t got = ::pread(m_eepromFd, e.data(), e.size(), 0);
        (void)got;  // a short or empty file leaves the rest erased
        saveAll();
    }
    if (!m_config.logFile.empty()) {
        m_logFd = ::open(m_config.logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (m_logFd < 0) {
            error = "cannot open " + m_config.logFile + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!m_config.linkPath.empty()) {
        ::unlink(m_config.linkPath.c_str());
        if (::symlink(m_device.c_str(), m_config.linkPath.c_str()) != 0) {
            error = "cannot link " + m_config.linkPath + ": " + std::strerror(errno);
            return false;
        }
        m_linked = true;
    }
    m_nextChatter = nowMicros() + m_model.talkIntervalMicros();
    return true;
}

void PtyServer::run(const volatile std::sig_atomic_t& stopRequested, const sigset_t* waitMask) {
    while (!stopRequested) {
        const int64_t now = nowMicros();
        if (m_model.talking() && now >= m_nextChatter) {
            if (m_out.size() < kChatterBacklog) {
                queue(m_model.chatterLine(), now);
            }
            m_nextChatter = now + m_model.talkIntervalMicros();
        }
        receiveDue(now);
        writeDue(now);

        int64_t wake = now + 1'000'000;
        if (!m_out.empty()) {
            wake = std::min(wake, m_out.front().first);
        }
        if (!m_in.empty()) {
            wake = std::min(wake, m_in.front().first);
        }
        if (m_model.talking()) {
            wake = std::min(wake, m_nextChatter);
        }
        const int64_t wait = std::max<int64_t>(wake - now, 0);
        pollfd pfd{m_master, POLLIN, 0};
        const timespec timeout{static_cast<time_t>(wait / 1'000'000),
                               static_cast<long>(wait % 1'000'000) * 1000};
        const int ready = ::ppoll(&pfd, 1, &timeout, waitMask);
        if (ready > 0 && (pfd.revents & POLLIN) != 0) {
            readFromProgram(nowMicros());
        } else if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR)) != 0) {
            // Nobody at the other end for the moment; do not spin on it.
            ::usleep(1000);
        }
    }
}

void PtyServer::readFromProgram(int64_t now) {
    char buffer[4096];
    const ssize_t got = ::read(m_master, buffer, sizeof buffer);
    if (got <= 0) {
        return;
    }
    if (m_logFd >= 0) {
        const ssize_t written = ::write(m_logFd, buffer, static_cast<std::size_t>(got));
        (void)written;
    }
    const int64_t step = byteMicros(m_config.module.baud);
    for (ssize_t i = 0; i < got; ++i) {
        m_inLineFreeAt = std::max(m_inLineFreeAt, now) + step;
        m_in.emplace_back(m_inLineFreeAt, buffer[i]);
    }
    receiveDue(now);
}

void PtyServer::receiveDue(int64_t now) {
    if (m_in.empty() || m_in.front().first > now) {
        return;
    }
    while (!m_in.empty() && m_in.front().first <= now) {
        const auto [arrived, c] = m_in.front();
        m_in.pop_front();
        for (const Emission& e : m_model.receive(static_cast<uint8_t>(c), arrived)) {
            queue(e.bytes, arrived + e.delayMicros);
        }
    }
    if (m_model.talking() && m_nextChatter < now) {
        m_nextChatter = now + m_model.talkIntervalMicros();
    }
    saveWritten();
}

void PtyServer::queue(const std::string& bytes, int64_t at) {
    const int64_t step = byteMicros(m_config.module.baud);
    const int64_t start = std::max(at, m_lineFreeAt);
    const std::vector<int64_t> times = handOverTimes(start, bytes.size(), step, m_config.fifoBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        m_out.emplace_back(times[i], bytes[i]);
    }
    m_lineFreeAt = start + static_cast<int64_t>(bytes.size()) * step;
}

void PtyServer::writeDue(int64_t now) {
    std::string due;
    for (const auto& [time, c] : m_out) {
        if (time > now) {
            break;
        }
        due += c;
    }
    if (due.empty()) {
        return;
    }
    const ssize_t put = ::write(m_master, due.data(), due.size());
    if (put > 0) {
        m_out.erase(m_out.begin(), m_out.begin() + put);
    }
}

void PtyServer::saveWritten() {
    const auto locations = m_model.takeWrittenLocations();
    if (m_eepromFd < 0) {
        return;
    }
    for (int location : locations) {
        const char value = static_cast<char>(m_model.eeprom()[location]);
        const ssize_t put = ::pwrite(m_eepromFd, &value, 1, location);
        (void)put;
    }
}

void PtyServer::saveAll() {
    if (m_eepromFd < 0) {
        return;
    }
    const auto& e = m_model.eeprom();
    const ssize_t put = ::pwrite(m_eepromFd, e.data(), e.size(), 0);
    (void)put;
}

void PtyServer::finish() {
    saveWritten();
    saveAll();
    if (m_linked) {
        ::unlink(m_config.linkPath.c_str());
        m_linked = false;
    }
}

}  // namespace brindle::sim
