#include "macrotext/linked_text.h"

#include <algorithm>

namespace brindle::macrotext {

LinkedText::LinkedText(std::string_view text, std::size_t room) {
    nodes_.reserve(std::max(room, text.size()));
    for (char c : text) {
        append(c);
    }
}

LinkedText::Node LinkedText::add(char c, Node prev, Node next) {
    Node n = nodes_.size();
    nodes_.push_back(Item{c, prev, next});
    if (prev == kNone) {
        first_ = n;
    } else {
        nodes_[prev].next = n;
    }
    if (next == kNone) {
        last_ = n;
    } else {
        nodes_[next].prev = n;
    }
    return n;
}

LinkedText::Node LinkedText::insertAfter(Node n, char c) {
    return add(c, n, nodes_[n].next);
}

LinkedText::Node LinkedText::insertBefore(Node n, char c) {
    return add(c, nodes_[n].prev, n);
}

LinkedText::Node LinkedText::append(char c) {
    return add(c, last_, kNone);
}

bool LinkedText::startsWith(Node n, std::string_view what) const {
    for (char c : what) {
        if (n == kNone || nodes_[n].c != c) {
            return false;
        }
        n = nodes_[n].next;
    }
    return true;
}

std::string LinkedText::text() const {
    std::string out;
    out.reserve(nodes_.size());
    for (Node n = first_; n != kNone; n = nodes_[n].next) {
        out.push_back(nodes_[n].c);
    }
    return out;
}

}  // namespace brindle::macrotext
