#pragma once
// What "brindle-cli download" with several --port options shows on standard
// error: one line per port while the lines run (redrawn in place on a
// terminal, otherwise a plain line whenever a port's state changes), then a
// table of how each port ended.
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "download/gang_download.h"

namespace brindle::cli {

// Every value of --port in args, in order (none after "--").
std::vector<std::string> portArguments(const Arguments& args);
// "--help" or "-h" is among args: help wins over the several ports.
bool helpAsked(const Arguments& args);

// "PORT  Downloading Macro 2  30 of 71 bytes written, ..." or, once ended,
// "PORT  ended".
std::string gangProgressLine(const download::GangLineProgress& progress, std::size_t portWidth);

// A header and one row per port: port, result ("Download successful" or the
// failure and its reason on one line), bytes, rewrites, seconds.
std::string gangResultTable(const std::vector<download::GangLineResult>& results);

class GangProgressLines {
  public:
    GangProgressLines(std::ostream& err, bool isTerminal) : m_err(err), m_tty(isTerminal) {}
    void show(const std::vector<download::GangLineProgress>& progress);

  private:
    std::ostream& m_err;
    bool m_tty;
    std::size_t m_drawn = 0;          // lines drawn on the terminal
    std::vector<std::string> m_last;  // per port, what was last printed
};

}  // namespace brindle::cli
