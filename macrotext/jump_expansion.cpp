#include "macrotext/jump_expansion.h"

#include <algorithm>
#include <cstddef>

#include "base/text.h"
#include "macrotext/linked_text.h"

namespace brindle::macrotext {
namespace {

using Node = LinkedText::Node;
constexpr Node kNone = LinkedText::kNone;
constexpr std::string_view kStatus = "ST ";
constexpr std::string_view kGoto = "GOTO ";

// The first node at or after n where "ST " begins.
Node findStatus(const LinkedText& line, Node n) {
    while (n != kNone && !line.startsWith(n, kStatus)) {
        n = line.next(n);
    }
    return n;
}

// The first ">" at or after from. Nothing before from holds one, so this walk
// never covers a character twice over the whole expansion. statusFrom is
// moved up to the ">" when the walk passes it, keeping it at or after the
// jump being expanded.
Node findJump(const LinkedText& line, Node from, Node& statusFrom) {
    bool passed = false;
    for (Node n = from; n != kNone; n = line.next(n)) {
        passed = passed || n == statusFrom;
        if (line.at(n) == '>') {
            if (passed) {
                statusFrom = n;
            }
            return n;
        }
    }
    return kNone;
}

}  // namespace

// Each step changes the line only at single characters: the ">" becomes CR
// (followed by "GOTO " when a target follows), the character before the next
// "ST " becomes CR, a "J" goes into the first "ST " and two characters go
// before the following one. On the linked line each costs a constant; the
// searches only move forward:
//  - no edit creates a ">", so the next one lies after the current one;
//  - only the pair put before an "ST " can create an "ST ", and it begins at
//    most two characters before the pair, after the converted "ST " and not
//    before the current jump's CR;
//  - the character just before the jump's CR cannot begin an "ST ", so a
//    search "at or after the jump" is the same after a "J" went in before it.
std::string expandJumps(std::string_view text) {
    // A jump adds at most nine characters: "GOTO ", a CR, a "J" and a pair.
    constexpr std::size_t kGrowthPerJump = 9;
    auto jumps = static_cast<std::size_t>(std::count(text.begin(), text.end(), '>'));
    LinkedText line(text, text.size() + kGrowthPerJump * jumps);
    // No "ST " begins before firstStatus.
    Node firstStatus = line.first();
    // No "ST " begins between the current jump and statusFrom.
    Node statusFrom = line.first();
    Node jump = findJump(line, line.first(), statusFrom);
    while (jump != kNone) {
        Node status = findStatus(line, statusFrom);
        line.set(jump, base::CR);
        if (status == kNone || status != line.next(jump)) {
            Node targetEnd = status == kNone ? kNone : line.prev(status);
            Node n = jump;
            for (char c : kGoto) {
                n = line.insertAfter(n, c);
            }
            if (targetEnd == kNone) {
                line.append(base::CR);
            } else {
                line.set(targetEnd, base::CR);
            }
        }

        firstStatus = findStatus(line, firstStatus);
        if (firstStatus != kNone) {
            line.insertAfter(line.next(firstStatus), 'J');
        }

        statusFrom = findStatus(line, status);
        if (statusFrom != kNone) {
            Node before = line.prev(statusFrom);
            char head = line.at(line.first());
            line.insertBefore(statusFrom, head);
            line.insertBefore(statusFrom, ' ');
            statusFrom = before == jump ? jump : line.prev(before);
        }
        jump = findJump(line, jump, statusFrom);
    }
    return line.text();
}

}  // namespace brindle::macrotext
