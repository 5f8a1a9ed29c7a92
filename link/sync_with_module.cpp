#include "link/sync_with_module.h"

#include "link/exchange.h"
#include "link/receive_window.h"

namespace brindle::link {

namespace {

// '#' first, and the first 0x03 'X' pair two places after it: a frame whose
// length byte is 3 and whose command is 'X', whatever its address.
bool showsSyncFrame(const std::string& text) {
    const std::size_t hash = text.find('#');
    const std::size_t pair = text.find("\x03X");
    return hash != std::string::npos && pair != std::string::npos && pair == hash + 2;
}

}  // namespace

void SyncWithModule(LinkContext& ctx, std::string& receiveText, int16_t probeTicks) {
    if (!probeForInput(ctx, probeTicks)) {
        return;  // the controller is quiet
    }
    sendRaw(ctx, wakeBytes());
    if (!ctx.state.Synched_Up) {
        ctx.operation.setStatusLine("Downloading..");
        clearCancelFlag(ctx);
        while (!ctx.state.CancelFlag) {
            yieldEvents(ctx);
            limitReceiveText(receiveText);
            drain(ctx, receiveText);
            viewbuffer(ctx.receive, receiveText);
            if (showsSyncFrame(receiveText) || receiveText.find(" Y\r") != std::string::npos ||
                ctx.state.Synched_Up) {
                ctx.state.CancelFlag = true;
            } else {
                ctx.pump.WaitForEvent();
            }
        }
    }
    ctx.state.Synched_Up = true;
}

}  // namespace brindle::link
