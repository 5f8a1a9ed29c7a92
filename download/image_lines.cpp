#include "download/image_lines.h"

#include "base/text.h"

namespace brindle::download {
namespace {

// Compiles the current line into blockdat; false once the macro must be refused.
bool emit(std::string& current, CompileTables& tables, std::string& blockdat) {
    std::string compiled = CompileLine(current, tables);
    current.clear();
    if (!tables.problem.empty()) {
        return false;
    }
    if (!compiled.empty()) {
        blockdat += compiled;
        blockdat += "\r\n";
    }
    return true;
}

}  // namespace

std::string compileLines(std::string_view rewritten, CompileTables& tables) {
    std::string blockdat;
    std::string current;
    for (char c : rewritten) {
        if (static_cast<unsigned char>(c) > 31) {
            current.push_back(c);
        } else if (c == base::CR && current.size() > 1) {
            if (!emit(current, tables, blockdat)) {
                return blockdat;
            }
        }
    }
    if (!current.empty()) {
        emit(current, tables, blockdat);
    }
    return blockdat;
}

}  // namespace brindle::download
