#include "utilities/clear_eprom.h"

#include "base/numeric.h"
#include "base/text.h"
#include "link/exchange.h"
#include "link/frames.h"
#include "link/initialize_port.h"
#include "link/percent_caption.h"
#include "link/receive_window.h"
#include "state/eeprom_layout.h"

namespace brindle::utilities {

namespace {

constexpr int kCaptionBlanks = 5;

struct Range {
    double first = 0;
    double last = 0;
};

// A field's text as a location: its numeric value, nearest integer.
double locationOf(const std::string& text) {
    return base::roundHalfEven(base::numericValue(text));
}

bool inEprom(double location) {
    return location >= 0 && location <= state::kLastLocation;
}

// Clears one location; true when verified.
bool clearLocation(link::LinkContext& ctx, ClearView& view, int location, std::string& replies,
                   int& attempts) {
    link::LinkContext& st = ctx;
    const auto at = static_cast<int16_t>(location);
    const std::string write = link::writeFrame(at, 0);
    const std::string read = link::readFrame(at);
    const std::string expected = link::readReply(0);
    attempts = 0;
    bool verified = false;
    while (!verified && !st.CancelFlag && attempts < st.RetryLimit) {
        ++attempts;
        link::sendFrame(ctx, write);
        link::settle(ctx, st.WriteSettleTicks);
        link::sendFrame(ctx, read);
        const std::string arrived =
            link::settleForReply(ctx, st.ReadSettleTicks, expected, replies);
        link::limitReceiveText(replies);
        replies += arrived;
        link::drain(ctx, replies);
        // Searched before viewbuffer takes the first line to the receive
        // window, as in the download.
        const bool found = replies.find(expected) != std::string::npos;
        link::viewbuffer(ctx.lines, replies);
        if (found) {
            view.showRetrying(false);
            attempts = 0;
            verified = true;
            replies.clear();
        } else {
            view.showRetrying(true);
        }
    }
    view.showRetrying(false);
    if (attempts >= st.RetryLimit) {
        st.CancelFlag = true;
    }
    return verified;
}

}  // namespace

int clearPercent(int first, int last, int location) {
    const double exact = 100.0 / (last - first) * (location - first);
    return static_cast<int>(base::roundHalfEven(exact));
}

void EnableClearUtility(bool ticked, const std::function<void(bool)>& showClearFrame,
                        base::Prompter& prompter) {
    showClearFrame(ticked);
    if (ticked) {
        prompter.show("Please Contact Technical Support before using this feature",
                      base::Icon::Exclamation, base::Buttons::Ok);
    }
}

ClearOutcome ClearEprom(link::LinkContext& ctx, state::MainState& window, ClearView& view,
                        base::Prompter& prompter, const std::string& lowerFill,
                        const std::string& upperFill) {
    link::LinkContext& st = ctx;
    link::openForOperation(ctx, link::Reopen::Always);
    const Range range{locationOf(lowerFill), locationOf(upperFill)};
    if (!inEprom(range.first) || !inEprom(range.last)) {
        // Such a location cannot be sent in two bytes; nothing is pending
        // afterwards, so the next download is a download.
        window.QueryReset = false;
        prompter.show("Cannot clear E2prom locations \"" + base::trimBlanks(lowerFill) +
                          "\" to \"" + base::trimBlanks(upperFill) +
                          "\": locations run from 0 to 32767. Nothing was sent to the Macro "
                          "Module.",
                      base::Icon::Critical, base::Buttons::Ok);
        return ClearOutcome::Refused;
    }
    const int first = static_cast<int>(range.first);
    const int last = static_cast<int>(range.last);
    if (first >= last) {
        return ClearOutcome::EmptyRange;
    }

    ctx.shared.ReceiveWindowActive = false;
    link::clearCancelFlag(ctx);
    view.setStatusLine("Clearing ..");
    view.showProgressFrame(true);
    view.showProgress(0);
    std::string replies;
    int attempts = 0;
    bool verified = false;
    for (int location = first; location <= last && attempts < st.RetryLimit; ++location) {
        if (st.CancelFlag) {
            verified = false;  // the remaining locations are skipped
            break;
        }
        const int percent = clearPercent(first, last, location);
        view.showProgress(percent);
        view.setPercentCaption(link::percentCaption(percent, kCaptionBlanks));
        verified = clearLocation(ctx, view, location, replies, attempts);
    }

    window.QueryReset = false;
    view.showProgressFrame(false);
    prompter.show(verified ? "Clear Program Process Successful! "
                           : link::withPortFailure("Clear Program Process Unsuccessful ", ctx.port),
                  base::Icon::Information, base::Buttons::Ok);
    if (ctx.lines.ReceiveWindowTicked) {
        ctx.shared.ReceiveWindowActive = true;
    }
    return verified ? ClearOutcome::Succeeded : ClearOutcome::Failed;
}

ClearOutcome runClearUtility(link::LinkContext& ctx, state::MainState& window, ClearView& view,
                             base::Prompter& prompter, const std::string& lowerFill,
                             const std::string& upperFill) {
    window.QueryReset = true;
    ctx.Synched_Up = false;
    view.enableDownloadAndClear(false);
    const ClearOutcome outcome = ClearEprom(ctx, window, view, prompter, lowerFill, upperFill);
    view.enableDownloadAndClear(true);
    return outcome;
}

}  // namespace brindle::utilities
