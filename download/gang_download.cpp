#include "download/gang_download.h"

#include <utility>

#include "base/prompter.h"
#include "download/transfer.h"

namespace brindle::download {
namespace {

// What one line's run shows: progress goes to the gang's snapshot, nothing
// else is shown (a line has no sequence list and no receive window).
class LineView : public DownloadView, public link::ReceiveView {
  public:
    explicit LineView(std::function<void(const std::function<void(GangLineProgress&)>&)> update)
        : m_update(std::move(update)) {}

    void setConvertStatusArguments(bool) override {}
    void setStatusLine(const std::string& caption) override {
        m_update([&](GangLineProgress& p) { p.status = caption; });
    }
    void showRetrying(bool visible) override {
        if (visible) {
            m_update([](GangLineProgress& p) { ++p.rewrites; });
        }
    }
    void setMacroSize(const std::string&) override {}
    void showMacroSize(bool) override {}
    void showOverallProgress(const OverallProgress& progress) override {
        m_update([&](GangLineProgress& p) { p.overall = progress; });
    }
    void showProgressFrame(bool) override {}
    void showProgress(int) override {}
    void setPercentCaption(const std::string&) override {}
    void selectSequenceLine(int) override {}
    void enableSequenceList(bool) override {}
    void enableReceiveWindowBox(bool) override {}
    void enableOperationButtons(bool) override {}

    void addReceivedLine(const std::string&) override {}
    void clearReceivedLines() override {}
    int receivedLineCount() const override { return 0; }
    int selectedReceivedLine() const override { return -1; }
    void selectReceivedLine(int) override {}

  private:
    std::function<void(const std::function<void(GangLineProgress&)>&)> m_update;
};

// Nobody is asked anything during a gang run: every message is kept, the
// last one is how the line ended.
class KeepingPrompter : public base::Prompter {
  public:
    base::Answer show(const std::string& text, base::Icon, base::Buttons buttons,
                      const std::string&) override {
        last = text;
        return base::safeAnswer(buttons);
    }
    std::string last;
};

}  // namespace

GangDownload::GangDownload(std::vector<std::string> lines, const state::MainState& window,
                           DownloadPlan plan, RigFactory factory, GangOperation operation)
    : m_names(std::move(lines)),
      m_window(window),
      m_plan(std::move(plan)),
      m_factory(std::move(factory)),
      m_operation(operation ? std::move(operation) : GangOperation(runDownload)),
      m_progress(m_names.size()),
      m_results(m_names.size()),
      m_rigs(m_names.size(), nullptr) {
    // A gang never clears the program: it downloads the one plan.
    m_window.QueryReset = false;
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        m_progress[i].line = m_names[i];
        m_results[i].line = m_names[i];
        m_progress[i].overall.bytesTotal = bytesToWrite(m_plan);
        m_progress[i].overall.macroCount = static_cast<int>(m_plan.macros.size());
    }
}

GangDownload::~GangDownload() {
    cancelAll();
    for (std::thread& t : m_threads) {
        if (t.joinable()) {
            t.join();
        }
    }
}

void GangDownload::start(std::function<void()> changed) {
    m_changed = std::move(changed);
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        m_threads.emplace_back([this, i] { runLine(i); });
    }
}

void GangDownload::cancelAll() {
    std::lock_guard lock(m_mutex);
    if (!m_shared.Closing.requested()) {
        m_shared.Closing.request();
    }
    for (GangRig* rig : m_rigs) {
        if (rig) {
            rig->wake();
        }
    }
}

std::vector<GangLineProgress> GangDownload::takeProgress() {
    std::lock_guard lock(m_mutex);
    m_changePending = false;
    return m_progress;
}

bool GangDownload::finished() {
    std::lock_guard lock(m_mutex);
    return m_ended == m_names.size();
}

std::vector<GangLineResult> GangDownload::wait() {
    for (std::thread& t : m_threads) {
        if (t.joinable()) {
            t.join();
        }
    }
    std::lock_guard lock(m_mutex);
    return m_results;
}

void GangDownload::notify(bool always) {
    bool call = always;
    {
        std::lock_guard lock(m_mutex);
        if (!m_changePending) {
            m_changePending = true;
            call = true;
        }
    }
    if (call && m_changed) {
        m_changed();
    }
}

void GangDownload::runLine(std::size_t index) {
    LineView view([this, index](const std::function<void(GangLineProgress&)>& change) {
        {
            std::lock_guard lock(m_mutex);
            change(m_progress[index]);
        }
        notify(false);
    });
    KeepingPrompter prompter;
    state::MainState window = m_window;
    GangLineResult result;
    result.line = m_names[index];

    std::unique_ptr<GangRig> rig = m_factory(index, m_shared, view, view);
    if (!rig) {
        result.message = "the line could not be set up";
    } else {
        {
            std::lock_guard lock(m_mutex);
            m_rigs[index] = rig.get();
        }
        link::LinkContext& ctx = rig->ctx();
        const int64_t started = ctx.pump.nowMicros();
        const DownloadOutcome outcome =
            m_operation(ctx, window, view, prompter,
                        DownloadRequest{true, 1, std::optional<DownloadPlan>(m_plan)});
        result.seconds = static_cast<double>(ctx.pump.nowMicros() - started) / 1e6;
        result.succeeded = outcome == DownloadOutcome::Succeeded;
        result.message = prompter.last;
        if (!result.succeeded && m_shared.Closing.requested()) {
            result.message = "cancelled: " + result.message;
        }
        std::lock_guard lock(m_mutex);
        m_rigs[index] = nullptr;
    }
    rig.reset();

    {
        std::lock_guard lock(m_mutex);
        result.bytes = m_progress[index].overall.bytesWritten;
        result.rewrites = m_progress[index].rewrites;
        m_progress[index].ended = true;
        m_results[index] = result;
        ++m_ended;
    }
    notify(true);
}

}  // namespace brindle::download
