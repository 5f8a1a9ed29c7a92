#pragma once
// A text held as a doubly linked list of characters, so that a character can
// be changed or inserted next to a known one in constant time however long
// the text is. Nodes are never removed and keep their order, so a node that a
// scan stopped at stays valid through later edits.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::macrotext {

class LinkedText {
  public:
    using Node = std::size_t;
    static constexpr Node kNone = static_cast<Node>(-1);

    // room: how many nodes to make room for, so that insertions do not move
    // the list (at least the text's length is always reserved).
    explicit LinkedText(std::string_view text, std::size_t room = 0);

    Node first() const { return first_; }
    Node next(Node n) const { return nodes_[n].next; }
    Node prev(Node n) const { return nodes_[n].prev; }
    char at(Node n) const { return nodes_[n].c; }
    void set(Node n, char c) { nodes_[n].c = c; }

    // Each returns the new node.
    Node insertAfter(Node n, char c);
    Node insertBefore(Node n, char c);
    Node append(char c);

    // Whether the characters from n onward begin with what.
    bool startsWith(Node n, std::string_view what) const;

    std::string text() const;

  private:
    struct Item {
        char c;
        Node prev;
        Node next;
    };
    Node add(char c, Node prev, Node next);

    std::vector<Item> nodes_;
    Node first_ = kNone;
    Node last_ = kNone;
};

}  // namespace brindle::macrotext
