#include "utilities/read_back.h"

#include <algorithm>
#include <utility>

#include "base/files.h"
#include "link/exchange.h"
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
// Room for the header line on top of two bytes a location.
constexpr int32_t kDumpByteLimit =
    2 * kMacroAreaBytes + static_cast<int32_t>(link::kReceiveTextLimit);

void startPort(link::LinkContext& ctx) {
    if (!ctx.state.StartComm) {
        ctx.state.StartComm = true;
        link::InitializePort(ctx);
    } else if (!ctx.port.PortOpen()) {
        // A port that failed earlier gets another chance to open.
        link::InitializePort(ctx);
    }
}

void restoreReceiveWindow(link::LinkContext& ctx) {
    if (ctx.receive.receiveWindowTicked()) {
        ctx.state.ReceiveWindowActive = true;
    }
}

// Takes the dump a byte at a time until kDumpSilenceTicks pass without one,
// and never less than the time the dump frame and a reply take to cross the
// line: at a short interval 25 ticks end before a slow line's first byte.
// True when the module went on sending past a whole macro area.
bool receiveDump(link::LinkContext& ctx, DumpReception& reception) {
    link::Port& port = ctx.port;
    const int interval = ctx.pump.EffectiveIntervalMicros();
    const int16_t silence =
        link::replyWaitTicks(kDumpSilenceTicks, ctx.state.ConfigRecord.BaudRate, interval);
    // The module may take a while to begin: the first byte is waited for at
    // least kDumpStartMicros, which only a module that never answers pays.
    const int16_t firstByteWait = std::max(
        silence,
        static_cast<int16_t>(std::min<int64_t>(
            (kDumpStartMicros + interval - 1) / std::max(interval, 1), link::kTickCountWrap)));
    bool started = false;
    ctx.state.TickCount = 0;
    ctx.pump.RestartTicks();
    while (!ctx.state.CancelFlag) {
        link::yieldEvents(ctx);
        if (port.InBufferCount() > 0) {
            port.InputLen(1);
            ctx.state.TickCount = 0;
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
        if (ctx.state.TickCount >= (started ? silence : firstByteWait)) {
            break;
        }
        ctx.pump.WaitForEvent();
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

void readLocations(link::LinkContext& ctx, ReadBackView& view, ReadBackResult& result) {
    result.locationsRead = true;
    result.macroId = readLocation(ctx, state::kNodeAddressLocation);
    view.setHeaderField(HeaderField::MacroId,
                        headerFieldText(HeaderField::MacroId, result.macroId));
    result.bootMacro = readLocation(ctx, state::kBootMacroLocation);
    view.setHeaderField(HeaderField::BootMacro,
                        headerFieldText(HeaderField::BootMacro, result.bootMacro));
    result.macroCount = readLocation(ctx, state::kMacroCountLocation);
    view.setHeaderField(HeaderField::MacroCount,
                        headerFieldText(HeaderField::MacroCount, result.macroCount));
    // The image state is read as the module expects, and shown nowhere.
    static_cast<void>(readLocation(ctx, state::kImageStateLocation));
}

}  // namespace

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

ReadBackResult ReadE2prom(link::LinkContext& ctx, ReadBackView& view, base::Prompter& prompter,
                          const std::string& workFile) {
    ReadBackResult result;
    view.showReadingMessage(true);
    ctx.state.ReceiveWindowActive = false;
    startPort(ctx);
    link::clearCancelFlag(ctx);
    link::discardInput(ctx);
    link::yieldEvents(ctx);

    if (link::probeForInput(ctx, kBusyProbeTicks)) {
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
    view.showReadingMessage(false);

    const ReplyText received = withoutHeader(reception.reply());
    keepWorkFile(ctx, result, workFile, received.text);
    const JumpLines lines = rewriteJumps(received);
    keepWorkFile(ctx, result, workFile, lines.text);
    result.text = shownText(insertLabels(lines, labelTargets(lines.jumps)));
    result.readFailed = result.text == kReadFailed;
    view.setE2promText(result.text);

    if (result.text.find(kBlank) == std::string::npos) {
        readLocations(ctx, view, result);
    }
    restoreReceiveWindow(ctx);

    result.portFailure = ctx.port.failure();
    if (!result.portFailure.empty() && !ctx.state.Closing) {
        prompter.show("The serial port failed during the read-back: " + result.portFailure,
                      base::Icon::Critical, base::Buttons::Ok);
    } else if (result.cutShort) {
        prompter.show(
            "The Macro Module did not stop sending: only what fits the macro area is shown.",
            base::Icon::Critical, base::Buttons::Ok);
    }
    return result;
}

}  // namespace brindle::utilities
