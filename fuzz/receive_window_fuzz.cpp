// Arbitrary bytes arriving for the receive window, in pieces: the timer's
// line rules and viewbuffer never go wrong, every shown line ends "<cr>", the
// list never holds more than 1002 entries, and the text only ever shrinks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "link/link_context.h"
#include "link/receive_window.h"
#include "sim/recording_views.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkEntries(const brindle::sim::RecordingReceiveView& view) {
    require(view.entries.size() <= 1002);
    for (const std::string& entry : view.entries) {
        require(entry.size() >= 7 && entry.compare(entry.size() - 4, 4, "<cr>") == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    brindle::link::ReceivedLines lines;
    brindle::sim::RecordingReceiveView timerView;
    brindle::link::ReceivedLines operationLines;
    operationLines.ReceiveWindowTicked = true;
    std::string operationText;
    // The first byte cuts the rest into pieces, as arrivals between ticks.
    const std::size_t piece = size > 0 ? 1 + data[0] % 16 : 1;
    for (std::size_t at = 1; at < size; at += piece) {
        const std::string arrived(reinterpret_cast<const char*>(data) + at,
                                  std::min(piece, size - at));
        lines.ReceiveBuffer += arrived;
        brindle::link::showReceivedLines(lines, timerView);
        operationText += arrived;
        const std::size_t before = operationText.size();
        brindle::link::viewbuffer(operationLines, operationText);
        require(operationText.size() <= before);
    }
    checkEntries(timerView);
    return 0;
}
