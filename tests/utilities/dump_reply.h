#pragma once
// A dump answer built the way the simulator sends it: the header line, then
// 'R' before every stored byte.
#include <string>
#include <string_view>

namespace brindle::testing {

inline std::string dumpReply(std::string_view image, std::string_view header = "DUMP\r") {
    std::string reply(header);
    for (char c : image) {
        reply += 'R';
        reply += c;
    }
    return reply;
}

}  // namespace brindle::testing
