// Feeds arbitrary bytes through the dump reception and every read-back text
// stage, and checks what must hold for any reply: one offset per received
// character, offsets never decreasing, every line of the rewritten text ended
// by CR LF, jumps numbered upwards within the labelled range, each label
// present once in the shown text, and the read-reply value the byte after
// its marker.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utilities/dump_reception.h"
#include "utilities/read_reply.h"
#include "utilities/readback_text.h"

namespace {

using namespace brindle;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkReception(const utilities::ReplyText& reply) {
    require(reply.offsets.size() == reply.text.size());
    int32_t last = utilities::kNoOffset;
    for (int32_t offset : reply.offsets) {
        if (offset != utilities::kNoOffset) {
            require(offset >= last);
            last = offset;
        }
    }
}

void checkLines(const utilities::JumpLines& lines) {
    require(lines.text.empty() || lines.text.ends_with("\r\n"));
    int previous = 0;
    for (const utilities::Jump& jump : lines.jumps) {
        require(jump.number > previous && jump.number <= utilities::kMaxLabelledJumps);
        require(jump.number <= lines.gotoCount);
        require(jump.offset >= 0);
        previous = jump.number;
    }
    for (const utilities::LineStart& start : lines.lineStarts) {
        require(start.at < lines.text.size());
        require(start.offset <= lines.lastOffset);
    }
}

void checkLabels(const utilities::JumpLines& lines, const std::string& labelled) {
    const std::vector<int32_t> targets = utilities::labelTargets(lines.jumps);
    std::size_t added = 0;
    for (int32_t target : targets) {
        added += std::to_string(target).size() + 5;
    }
    require(labelled.size() == lines.text.size() + added);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    utilities::DumpReception reception;
    reception.receive(bytes);
    checkReception(reception.reply());

    const utilities::ReplyText body = utilities::withoutHeader(reception.reply());
    checkReception(body);
    const utilities::JumpLines lines = utilities::rewriteJumps(body);
    checkLines(lines);
    const std::string labelled =
        utilities::insertLabels(lines, utilities::labelTargets(lines.jumps));
    checkLabels(lines, labelled);
    const std::string shown = utilities::shownText(labelled);
    require(shown.size() > 2);

    // The same bytes as the answer to a location read.
    const std::optional<uint8_t> value = utilities::readReplyValue(bytes);
    // Its value is the one of the last reply, when that is a whole frame:
    // 23 4D 04 52 v (4D + 04 + 52 + v) 0D.
    std::optional<uint8_t> expected;
    const std::size_t at = bytes.rfind(std::string_view("#M\x04R", 4));
    if (at != std::string_view::npos && at + 7 <= size && data[at + 6] == 0x0D &&
        data[at + 5] == static_cast<uint8_t>(0x4D + 0x04 + 0x52 + data[at + 4])) {
        expected = data[at + 4];
    }
    require(value == expected);
    return 0;
}
