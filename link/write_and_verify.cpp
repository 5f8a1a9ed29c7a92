#include "link/write_and_verify.h"

#include "link/exchange.h"
#include "link/frames.h"
#include "link/receive_window.h"

namespace brindle::link {

int writeBound(int16_t retryLimit) {
    return 4 * static_cast<int>(retryLimit);
}

base::Status WriteAndVerify(LinkContext& ctx, int16_t location, uint8_t value,
                            std::string& receiveText) {
    const std::string write = writeFrame(location, value);
    const std::string read = readFrame(location);
    const std::string reply = readReply(value);
    const int bound = writeBound(ctx.RetryLimit);

    bool done = false;
    int tries = 0;
    int writes = 0;
    while (!done && !ctx.CancelFlag && tries < ctx.RetryLimit && writes < bound) {
        ++tries;
        ++writes;
        sendFrame(ctx, write);
        settle(ctx, ctx.WriteSettleTicks);
        int good = 0;
        while (true) {
            sendFrame(ctx, read);
            const std::string arrived =
                settleForReply(ctx, ctx.ReadSettleTicks, reply, receiveText);
            limitReceiveText(receiveText);
            receiveText += arrived;
            drain(ctx, receiveText);
            // Searched before viewbuffer takes the first line to the receive
            // window: a reply that is the first line is shown and still counts.
            const bool found = receiveText.find(reply) != std::string::npos;
            viewbuffer(ctx.lines, receiveText);
            if (!found) {
                ctx.operation.showRetrying(true);
                done = false;
                break;  // write the byte again
            }
            ctx.operation.showRetrying(false);
            tries = 0;
            done = true;
            receiveText.clear();
            if (++good == 2) {
                break;
            }
        }
    }
    ctx.operation.showRetrying(false);
    if (!done && writes >= bound && tries < ctx.RetryLimit) {
        tries = ctx.RetryLimit;
    }
    if (done) {
        return base::Status::success();
    }
    const std::string where = "E2PROM location " + std::to_string(location);
    if (tries >= ctx.RetryLimit) {
        ctx.CancelFlag = true;
        return base::Status::failure(where + " was not confirmed after " + std::to_string(tries) +
                                     " tries");
    }
    return base::Status::failure("The write to " + where + " was cancelled after " +
                                 std::to_string(tries) + (tries == 1 ? " try" : " tries"));
}

}  // namespace brindle::link
