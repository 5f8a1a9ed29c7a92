#pragma once
// One combination into several Macro Modules at once. Every line runs its own
// download on its own thread, with its own port, pump, views and LinkContext,
// all made on that thread by a RigFactory, so the lines share nothing mutable
// but the gang's stop signal (Closing: cancel all) and the progress snapshots
// they hand to one reporter under a mutex. A line that fails, goes silent or
// loses its port ends alone; the others go on.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/prompter.h"
#include "download/download_plan.h"
#include "download/download_view.h"
#include "download/transfer.h"
#include "link/link_context.h"
#include "state/main_state.h"

namespace brindle::download {

// How far one line has come, as the reporter sees it.
struct GangLineProgress {
    std::string line;
    std::string status;  // the last status caption the run showed
    OverallProgress overall;
    int rewrites = 0;
    bool ended = false;
};

// How one line ended.
struct GangLineResult {
    std::string line;
    bool succeeded = false;
    // "Download successful", or the failure and its reason.
    std::string message;
    int bytes = 0;  // confirmed by reading them back
    int rewrites = 0;
    double seconds = 0;
};

// One line's link, made and destroyed on the line's own thread.
class GangRig {
  public:
    virtual ~GangRig() = default;
    virtual link::LinkContext& ctx() = 0;
    // Called from another thread after the stop signal was raised: a wait
    // blocked in the line's pump should return and look at it.
    virtual void wake() {}
};

// Makes line index's rig on its thread: its context must use shared, the
// run's view (also the operation view) and receive view.
using RigFactory =
    std::function<std::unique_ptr<GangRig>(std::size_t index, link::SharedSignals& shared,
                                           DownloadView& view, link::ReceiveView& receive)>;

// What each line runs, on its own thread, with its own copy of the window
// and the gang's request: the whole download (runDownload) unless the gang
// is given another. Its final message goes through the prompter, its
// progress through the view (the bytes column is what the view last showed).
using GangOperation = std::function<DownloadOutcome(
    link::LinkContext& ctx, state::MainState& window, DownloadView& view, base::Prompter& prompter,
    const DownloadRequest& request)>;

class GangDownload {
  public:
    // lines names the lines (for the reporter and the results); window is
    // copied for each line (each run may change its own copy). An empty
    // operation is the whole download.
    GangDownload(std::vector<std::string> lines, const state::MainState& window, DownloadPlan plan,
                 RigFactory factory, GangOperation operation = {});
    ~GangDownload();
    GangDownload(const GangDownload&) = delete;
    GangDownload& operator=(const GangDownload&) = delete;

    // Starts one thread per line. changed is called from any thread when a
    // snapshot changed and the previous change has been taken
    // (takeProgress), and whenever a line ends.
    void start(std::function<void()> changed);
    // From any thread: every line stops at its next wait, none writes
    // location 3's "X" after that.
    void cancelAll();
    bool cancelled() const { return m_shared.Closing.requested(); }

    // The snapshots now; the next change calls changed again.
    std::vector<GangLineProgress> takeProgress();
    bool finished();
    // Waits for every line to end; each line's result, in order.
    std::vector<GangLineResult> wait();

  private:
    struct Line;
    void runLine(std::size_t index);
    void notify(bool always);

    std::vector<std::string> m_names;
    state::MainState m_window;
    DownloadPlan m_plan;
    RigFactory m_factory;
    GangOperation m_operation;
    link::SharedSignals m_shared;
    std::function<void()> m_changed;

    std::mutex m_mutex;  // guards everything below
    std::vector<GangLineProgress> m_progress;
    std::vector<GangLineResult> m_results;
    std::vector<GangRig*> m_rigs;  // live rigs, to wake
    bool m_changePending = false;
    std::size_t m_ended = 0;
    std::vector<std::thread> m_threads;
};

}  // namespace brindle::download
