#include "utilities/readback_text.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "base/numeric.h"
#include "base/text.h"
#include "state/eeprom_layout.h"

namespace brindle::utilities {

namespace {

constexpr std::string_view kGoto = "GOTO";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kShortestShown = 3;
constexpr char kFrameStart = '#';

int32_t firstOffset(const std::vector<int32_t>& offsets, std::size_t begin, std::size_t end) {
    // A caller's offsets may be shorter than its text; the rest has none.
    end = std::min(end, offsets.size());
    for (std::size_t i = begin; i < end; ++i) {
        if (offsets[i] != kNoOffset) {
            return offsets[i];
        }
    }
    return kNoOffset;
}

// Appends one line to out.text, rewritten when it holds a jump.
void addLine(JumpLines& out, std::string_view line) {
    const std::size_t k = line.find(kGoto);
    if (k != std::string_view::npos && k + kGoto.size() + 1 < line.size()) {
        ++out.gotoCount;
        const int hi = static_cast<unsigned char>(line[k + kGoto.size()]);
        const int lo = static_cast<unsigned char>(line[k + kGoto.size() + 1]);
        const int location = 256 * hi + lo;
        if (location >= state::kMacroArea) {
            const int32_t offset = location - state::kMacroArea;
            out.text.append(line.substr(0, k + kGoto.size()));
            out.text += base::decimalText(offset);
            out.text.append(kLineEnd);
            if (out.gotoCount <= kMaxLabelledJumps) {
                out.jumps.push_back({out.gotoCount, offset});
            }
            return;
        }
    }
    out.text.append(line);
    out.text.append(kLineEnd);
}

// Where the label for target goes, as an index into lines.text.
std::size_t labelPlace(const JumpLines& lines, int32_t target) {
    if (target > lines.lastOffset || lines.lineStarts.empty()) {
        return lines.text.size();
    }
    for (auto it = lines.lineStarts.rbegin(); it != lines.lineStarts.rend(); ++it) {
        if (it->offset <= target) {
            return it->at;
        }
    }
    return lines.lineStarts.front().at;
}

}  // namespace

ReplyText withoutHeader(ReplyText reply) {
    const auto dropThrough = [&reply](std::size_t lf) {
        reply.text.erase(0, lf + 1);
        const std::size_t cut = std::min(lf + 1, reply.offsets.size());
        reply.offsets.erase(reply.offsets.begin(),
                            reply.offsets.begin() + static_cast<std::ptrdiff_t>(cut));
    };
    // Echoed frames before the header line go with it.
    std::size_t lf = reply.text.find(base::LF);
    while (lf != std::string::npos && reply.text.front() == kFrameStart &&
           reply.text.find(base::LF, lf + 1) != std::string::npos) {
        dropThrough(lf);
        lf = reply.text.find(base::LF);
    }
    if (lf != std::string::npos) {
        dropThrough(lf);
    }
    return reply;
}

JumpLines rewriteJumps(const ReplyText& reply) {
    JumpLines out;
    const std::string_view text = reply.text;
    for (int32_t offset : reply.offsets) {
        out.lastOffset = std::max(out.lastOffset, offset);
    }
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find(base::CR, begin);
        std::size_t next = end;
        if (end == std::string_view::npos) {
            end = text.size();
            next = end;
        } else {
            next = end + 1;
            if (next < text.size() && text[next] == base::LF) {
                ++next;
            }
        }
        const int32_t start = firstOffset(reply.offsets, begin, end);
        if (start != kNoOffset) {
            out.lineStarts.push_back({out.text.size(), start});
        }
        addLine(out, text.substr(begin, end - begin));
        begin = next;
    }
    return out;
}

std::vector<int32_t> labelTargets(const std::vector<Jump>& jumps) {
    std::vector<int32_t> targets;
    for (const Jump& jump : jumps) {
        if (std::find(targets.begin(), targets.end(), jump.offset) == targets.end()) {
            targets.push_back(jump.offset);
        }
    }
    return targets;
}

std::string insertLabels(const JumpLines& lines, const std::vector<int32_t>& targets) {
    std::vector<std::pair<std::size_t, int32_t>> labels;
    labels.reserve(targets.size());
    for (int32_t target : targets) {
        labels.emplace_back(labelPlace(lines, target), target);
    }
    // Labels before the same line keep their jump order.
    std::stable_sort(labels.begin(), labels.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    std::size_t copied = 0;
    for (const auto& [at, target] : labels) {
        out.append(lines.text, copied, at - copied);
        copied = at;
        out.append(kLineEnd);
        out += base::decimalText(target);
        out += ':';
        out.append(kLineEnd);
    }
    out.append(lines.text, copied, std::string::npos);
    return out;
}

std::string shownText(std::string labelled) {
    if (labelled.size() < kShortestShown) {
        return "Read Failed";
    }
    return labelled;
}

std::string readbackText(ReplyText reply) {
    const JumpLines lines = rewriteJumps(withoutHeader(std::move(reply)));
    return shownText(insertLabels(lines, labelTargets(lines.jumps)));
}

}  // namespace brindle::utilities
