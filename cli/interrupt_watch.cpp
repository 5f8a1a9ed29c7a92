#include "cli/interrupt_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace brindle::cli {

namespace {

// The write end of the pipe of the one watch there is at a time.
volatile std::sig_atomic_t g_signalPipe = -1;

extern "C" void onInterrupt(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    // A full pipe already holds a byte that says the same.
    const ssize_t written = ::write(g_signalPipe, &byte, 1);
    (void)written;
    errno = saved;
}

}  // namespace

InterruptWatch::InterruptWatch(link::LinkContext& ctx)
    : InterruptWatch([&ctx] {
          ctx.shared.Closing.request();
          ctx.CancelFlag = true;
      }) {}

InterruptWatch::InterruptWatch(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_pipe[0] = m_pipe[1] = -1;
        return;  // the signals keep their default: they end the program
    }
    g_signalPipe = m_pipe[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { takeSignals(); });
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
}

InterruptWatch::~InterruptWatch() {
    if (m_pipe[0] < 0) {
        return;
    }
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    g_signalPipe = -1;
    m_notifier.reset();
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void InterruptWatch::takeSignals() {
    char bytes[16];
    bool any = false;
    while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
        any = true;
    }
    if (any) {
        m_interrupted = true;
        m_onSignal();
    }
}

bool InterruptWatch::interrupted() {
    if (m_pipe[0] >= 0) {
        takeSignals();
    }
    return m_interrupted;
}

}  // namespace brindle::cli
