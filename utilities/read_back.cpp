#include "utilities/read_back.h"

#include <algorithm>
#include <utility>

#include "base/files.h"
#include "link/com_port.h"
#include "link/exchange.h"
#include "link/frames.h"
#include "link/initialize_port.h"
#include "link/receive_window.h"
#include "link/reply_wait.h"
#include "utilities/dump_reception.h"
#include "utilities/read_reply.h"
#include "utilities/readback_text.h"

namespace brindle::utilities {

namespace {

const std::string kBusyMessage = std::string(23, ' ') +
                                 "Macro Executing !\r\n"
                                 "Use 'Cancel Execution' button in Download menu.";
constexpr const char* kReadFailed = "Read Failed";
constexpr const char* kBlank = "BLANK";
static_assert(kDumpByteLimit ==
              2 * kMacroAreaBytes + static_cast<int32_t>(link::kReceiveTextLimit));

// The busy check: listens for ticks, and ends early when a byte comes or the
// read is cancelled. True when the controller talks.
bool controllerTalks(link::LinkContext& ctx, int16_t ticks) {
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (ctx.port.InBufferCount() == 0 && ctx.TickCount < ticks && !ctx.CancelFlag &&
           !link::noticeStop(ctx)) {
        ctx.pump.waitForEventOrTicks(ticks - ctx.TickCount);
    }
    return ctx.port.InBufferCount() > 0;
}

void restoreReceiveWindow(link::LinkContext& ctx) {
    if (ctx.lines.ReceiveWindowTicked) {
        ctx.shared.ReceiveWindowActive = true;
    }
}

// Takes the dump a byte at a time until kDumpSilenceTicks pass without one,
// and never less than the time the dump frame and a reply take to cross the
// line: at a short interval 25 ticks end before a slow line's first byte.
// True when the module went on sending past a whole macro area.
bool receiveDump(link::LinkContext& ctx, DumpReception& reception) {
    link::Port& port = ctx.port;
    const int interval = ctx.pump.effectiveIntervalMicros();
    const int16_t silence = link::replyWaitTicks(kDumpSilenceTicks, ctx.settings.baud, interval);
    // The module may take a while to begin: the first byte is waited for at
    // least kDumpStartMicros, which only a module that never answers pays.
    const int16_t firstByteWait = std::max(
        silence,
        static_cast<int16_t>(std::min<int64_t>(
            (kDumpStartMicros + interval - 1) / std::max(interval, 1), link::kTickCountWrap)));
    bool started = false;
    // A module that trickles bytes for ever never lets the silence end the
    // reception: the clock does.
    const int64_t deadline = ctx.pump.nowMicros() + dumpTimeBoundMicros(ctx.settings.baud);
    ctx.TickCount = 0;
    ctx.pump.restartTicks();
    while (!ctx.CancelFlag) {
        if (ctx.pump.nowMicros() >= deadline) {
            link::discardInput(ctx);
            return true;
        }
        link::yieldEvents(ctx);
        if (port.InBufferCount() > 0) {
            port.InputLen(1);
            ctx.TickCount = 0;
            started = true;
            for (char c : port.Input()) {
                reception.receive(static_cast<uint8_t>(c));
            }
            if (reception.storedBytes() >= kMacroAreaBytes ||
                reception.receivedBytes() >= kDumpByteLimit) {
                // A whole macro area has come: anything more is not a dump.
                const bool more = link::probeForInput(ctx, silence);
                link::discardInput(ctx);
                return more;
            }
            continue;
        }
        if (ctx.TickCount >= (started ? silence : firstByteWait)) {
            break;
        }
        ctx.pump.waitForEvent();
    }
    return false;
}

void keepWorkFile(link::LinkContext& ctx, ReadBackResult& result, const std::string& path,
                  const std::string& text) {
    base::Status written = base::replaceFile(path, text);
    if (!written && result.workFile) {
        result.workFile = std::move(written);
    }
    link::yieldEvents(ctx);
}

std::optional<uint8_t> readLocation(link::LinkContext& ctx, int location) {
    // A reply that came too late for the read before is not this one's.
    link::discardInput(ctx);
    link::sendFrame(ctx, link::readFrame(static_cast<int16_t>(location)));
    // The value is not known beforehand: the wait lasts its ticks, and at
    // least the time the frame and its reply take to cross the line.
    std::string received = link::settleForReply(ctx, kLocationReadTicks, "", "");
    ctx.port.InputLen(0);
    link::drain(ctx, received);
    return readReplyValue(received);
}

// A cancelled read sends nothing more; what it did not read shows as a
// missing answer does.
std::optional<uint8_t> readLocationUnlessCancelled(link::LinkContext& ctx, int location) {
    if (ctx.CancelFlag) {
        return std::nullopt;
    }
    return readLocation(ctx, location);
}

void showLocations(ReadBackView& view, const ReadBackResult& result) {
    view.setHeaderField(HeaderField::MacroId,
                        headerFieldText(HeaderField::MacroId, result.macroId));
    view.setHeaderField(HeaderField::BootMacro,
                        headerFieldText(HeaderField::BootMacro, result.bootMacro));
    view.setHeaderField(HeaderField::MacroCount,
                        headerFieldText(HeaderField::MacroCount, result.macroCount));
}

void readLocations(link::LinkContext& ctx, ReadBackView& view, ReadBackResult& result) {
    result.locationsRead = true;
    result.macroId = readLocationUnlessCancelled(ctx, state::kNodeAddressLocation);
    view.setHeaderField(HeaderField::MacroId,
                        headerFieldText(HeaderField::MacroId, result.macroId));
    result.bootMacro = readLocationUnlessCancelled(ctx, state::kBootMacroLocation);
    view.setHeaderField(HeaderField::BootMacro,
                        headerFieldText(HeaderField::BootMacro, result.bootMacro));
    result.macroCount = readLocationUnlessCancelled(ctx, state::kMacroCountLocation);
    view.setHeaderField(HeaderField::MacroCount,
                        headerFieldText(HeaderField::MacroCount, result.macroCount));
    // The image state is read as the module expects, and shown nowhere.
    static_cast<void>(readLocationUnlessCancelled(ctx, state::kImageStateLocation));
}

bool reportPortFailure(link::LinkContext& ctx, base::Prompter& prompter, ReadBackResult& result) {
    result.portFailure = ctx.port.failure();
    if (result.portFailure.empty() || ctx.shared.Closing.requested()) {
        return false;
    }
    prompter.show("The serial port failed during the read-back: " + result.portFailure,
                  base::Icon::Critical, base::Buttons::Ok);
    return true;
}

// Cancel, Esc or Ctrl-C (or a failed port): the fields show what a read that
// got no answer shows, and nothing more is sent.
void endCancelled(link::LinkContext& ctx, ReadBackView& view, base::Prompter& prompter,
                  ReadBackResult& result) {
    view.showReadingMessage(false);
    result.readFailed = true;
    result.text = kReadFailed;
    result.locationsRead = true;
    result.macroId.reset();
    result.bootMacro.reset();
    result.macroCount.reset();
    view.showHeaderFields(true);
    view.setE2promText(result.text);
    showLocations(view, result);
    link::discardInput(ctx);
    restoreReceiveWindow(ctx);
    reportPortFailure(ctx, prompter, result);
    result.cancelled = result.portFailure.empty();
}

}  // namespace

int64_t dumpTimeBoundMicros(int32_t baud) {
    const int64_t speed = std::max<int64_t>(baud, link::kLowestLineSpeed);
    const int64_t lineMicros = (int64_t{kDumpByteLimit} * 10 * 1'000'000 + speed - 1) / speed;
    return 2 * lineMicros + kDumpTimeSlackMicros;
}

std::string workFilePath(const std::string& programFolder) {
    return programFolder + kWorkFileName;
}

std::string headerFieldText(HeaderField field, const std::optional<uint8_t>& value) {
    if (value) {
        return fieldText(*value);
    }
    return field == HeaderField::MacroId ? std::string() : std::string(kReadFailed);
}

void clearAll(ReadBackView& view) {
    view.setE2promText("");
    view.setHeaderField(HeaderField::MacroId, "");
    view.setHeaderField(HeaderField::BootMacro, "");
    view.setHeaderField(HeaderField::MacroCount, "");
}

ReadBackResult readE2prom(link::LinkContext& ctx, ReadBackView& view, base::Prompter& prompter,
                          const std::string& workFile) {
    ReadBackResult result;
    view.showReadingMessage(true);
    ctx.shared.ReceiveWindowActive = false;
    // A port that failed earlier gets another chance to open.
    link::openForOperation(ctx, link::Reopen::WhenClosed);
    link::clearCancelFlag(ctx);
    link::discardInput(ctx);
    link::yieldEvents(ctx);

    const bool busy = controllerTalks(ctx, kBusyProbeTicks);
    if (ctx.CancelFlag) {
        endCancelled(ctx, view, prompter, result);
        return result;
    }
    if (busy) {
        view.showReadingMessage(false);
        prompter.show(kBusyMessage, base::Icon::Critical, base::Buttons::Ok);
        restoreReceiveWindow(ctx);
        result.outcome = ReadOutcome::Busy;
        return result;
    }

    clearAll(view);
    view.showHeaderFields(true);
    link::sendFrame(ctx, link::dumpFrame());
    link::discardInput(ctx);
    DumpReception reception;
    result.cutShort = receiveDump(ctx, reception);
    if (ctx.CancelFlag) {
        endCancelled(ctx, view, prompter, result);
        return result;
    }
    view.showReadingMessage(false);

    const ReplyText received = withoutHeader(reception.reply());
    keepWorkFile(ctx, result, workFile, received.text);
    const JumpLines lines = rewriteJumps(received);
    keepWorkFile(ctx, result, workFile, lines.text);
    result.text = shownText(insertLabels(lines, labelTargets(lines.jumps)));
    result.readFailed = result.text == kReadFailed;
    view.setE2promText(result.text);

    if (result.cutShort) {
        // A module that is still sending would answer the location reads
        // behind its stream, each reply late enough to be taken for the
        // next read's: none is asked for, and the fields show no value.
        result.locationsRead = true;
        showLocations(view, result);
    } else if (result.text.find(kBlank) == std::string::npos) {
        readLocations(ctx, view, result);
        if (ctx.CancelFlag) {
            endCancelled(ctx, view, prompter, result);
            return result;
        }
    }
    restoreReceiveWindow(ctx);

    if (!reportPortFailure(ctx, prompter, result) && result.cutShort) {
        prompter.show(
            "The Macro Module did not stop sending: the read-back ended after a whole "
            "macro area's worth of bytes or the time they take, and only what came "
            "until then is shown.",
            base::Icon::Critical, base::Buttons::Ok);
    }
    return result;
}

}  // namespace brindle::utilities
