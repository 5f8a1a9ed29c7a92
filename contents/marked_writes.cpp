#include "contents/marked_writes.h"

#include "base/numeric.h"
#include "link/exchange.h"
#include "link/percent_caption.h"
#include "link/write_and_verify.h"
#include "state/eeprom_layout.h"

namespace brindle::contents {

namespace {

constexpr auto kIncomplete = static_cast<uint8_t>(state::kImageIncomplete);
constexpr auto kComplete = static_cast<uint8_t>(state::kImageComplete);

struct Writer {
    Writer(link::LinkContext& context, download::DownloadView& shown)
        : ctx(context), view(shown), startedMicros(context.pump.nowMicros()) {}

    link::LinkContext& ctx;
    download::DownloadView& view;
    download::OverallProgress overall;
    int64_t startedMicros = 0;
    std::string receiveText;
    int confirmed = 0;

    // The one place the run writes: a byte, verified, counted when confirmed.
    bool write(int location, uint8_t value) {
        const base::Status written =
            link::WriteAndVerify(ctx, static_cast<int16_t>(location), value, receiveText);
        if (written) {
            ++confirmed;
            overall.bytesWritten = confirmed;
            overall.secondsLeft = download::secondsLeft(confirmed, overall.bytesTotal,
                                                        ctx.pump.nowMicros() - startedMicros);
            view.showOverallProgress(overall);
        }
        return written && !ctx.CancelFlag;
    }

    void showPercent() {
        const int percent =
            static_cast<int>(base::roundHalfEven(100.0 * confirmed / overall.bytesTotal));
        view.showProgress(percent);
        view.setPercentCaption(link::percentCaption(percent, 6));
    }

    // The "X" may have reached the module before its failure was seen: the
    // incomplete mark goes back, as the download does it.
    void putIncompleteMarkBack() {
        // That one byte is written even while the program is ending, unless
        // the port has failed; a second request to end stops it as well.
        const int accepted = ctx.closingAccepted;
        ctx.closingAccepted = ctx.shared.Closing.requests();
        link::clearCancelFlag(ctx);
        static_cast<void>(write(state::kImageStateLocation, kIncomplete));
        ctx.closingAccepted = accepted;
        ctx.CancelFlag = true;
    }
};

}  // namespace

MarkedWritesResult writeMarked(link::LinkContext& ctx, download::DownloadView& view,
                               const std::vector<TargetByte>& writes,
                               const std::vector<std::string>& macroNames) {
    Writer w(ctx, view);
    w.overall.bytesTotal = static_cast<int>(writes.size()) + 2;
    w.overall.macroCount = static_cast<int>(macroNames.size());
    view.showProgressFrame(true);
    view.showProgress(0);
    view.setPercentCaption(link::percentCaption(0, 5));
    view.showOverallProgress(w.overall);
    link::clearCancelFlag(ctx);

    bool good = w.write(state::kImageStateLocation, kIncomplete);
    for (const TargetByte& target : writes) {
        if (!good) {
            break;
        }
        if (target.macro >= 0 && target.macro + 1 != w.overall.macro &&
            target.macro < static_cast<int>(macroNames.size())) {
            w.overall.macro = target.macro + 1;
            w.overall.macroName = macroNames[static_cast<std::size_t>(target.macro)];
        }
        good = w.write(target.location, target.value);
        w.showPercent();
    }
    if (good) {
        good = w.write(state::kImageStateLocation, kComplete);
        if (!good) {
            w.putIncompleteMarkBack();
        }
    }
    w.overall.ended = true;
    view.showOverallProgress(w.overall);
    view.showProgressFrame(false);
    return {good, w.confirmed};
}

}  // namespace brindle::contents
