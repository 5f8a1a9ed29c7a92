#pragma once
// Ctrl-C (SIGINT) and SIGTERM while a command talks to the Macro Module. The
// signal handler only writes a byte into a pipe; the event loop, in which
// every wait of the link blocks, wakes on it through a socket notifier, and
// the operation is stopped as when the window closes (Closing and CancelFlag
// set), so that it ends at its next yield or wait. The previous handlers are
// put back when the watch ends.
#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <memory>

#include "link/link_context.h"

namespace brindle::cli {

class InterruptWatch {
  public:
    explicit InterruptWatch(link::LinkContext& ctx);
    // Calls onSignal on the event loop's thread instead (several lines at
    // once: it cancels them all).
    explicit InterruptWatch(std::function<void()> onSignal);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // A signal arrived (also one the event loop has not seen yet).
    bool interrupted();

  private:
    void takeSignals();

    std::function<void()> m_onSignal;
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
    bool m_interrupted = false;
};

}  // namespace brindle::cli
