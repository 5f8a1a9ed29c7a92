#include "cli/gang_report.h"

#include <algorithm>
#include <cstdio>

namespace brindle::cli {
namespace {

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string oneLine(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
        text.replace(at, 1, "; ");
    }
    return text;
}

std::size_t widest(const std::vector<std::string>& texts, std::size_t least) {
    std::size_t width = least;
    for (const std::string& t : texts) {
        width = std::max(width, t.size());
    }
    return width;
}

}  // namespace

std::vector<std::string> portArguments(const Arguments& args) {
    std::vector<std::string> ports;
    for (std::size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
        if (args[i] == "--port" && i + 1 < args.size()) {
            ports.push_back(args[++i]);
        }
    }
    return ports;
}

bool helpAsked(const Arguments& args) {
    return std::find(args.begin(), args.end(), "--help") != args.end() ||
           std::find(args.begin(), args.end(), "-h") != args.end();
}

std::string gangProgressLine(const download::GangLineProgress& progress, std::size_t portWidth) {
    std::string line = padded(progress.line, portWidth) + "  ";
    if (progress.ended) {
        return line + "ended";
    }
    line += progress.status.empty() ? "starting" : progress.status;
    line += "  " + download::overallProgressText(progress.overall);
    if (progress.rewrites > 0) {
        line += ", " + std::to_string(progress.rewrites) + " rewrites";
    }
    return line;
}

std::string gangResultTable(const std::vector<download::GangLineResult>& results) {
    std::vector<std::string> ports;
    std::vector<std::string> messages;
    for (const auto& r : results) {
        ports.push_back(r.line);
        messages.push_back(oneLine(r.message));
    }
    const std::size_t portWidth = widest(ports, 4);
    const std::size_t resultWidth = widest(messages, 6);
    std::string table = padded("port", portWidth) + "  " + padded("result", resultWidth) + "  " +
                        "bytes  rewrites    time\n";
    for (std::size_t i = 0; i < results.size(); ++i) {
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%5d  %8d  %6.1f s", results[i].bytes,
                      results[i].rewrites, results[i].seconds);
        table += padded(ports[i], portWidth) + "  " + padded(messages[i], resultWidth) + "  " +
                 numbers + "\n";
    }
    return table;
}

void GangProgressLines::show(const std::vector<download::GangLineProgress>& progress) {
    std::vector<std::string> names;
    for (const auto& p : progress) {
        names.push_back(p.line);
    }
    const std::size_t width = widest(names, 0);
    m_last.resize(progress.size());
    if (m_tty) {
        // Back to the first port's line, then every line redrawn.
        std::string text = m_drawn > 0 ? "\x1b[" + std::to_string(m_drawn) + "A" : "";
        for (const auto& p : progress) {
            text += "\r\x1b[K" + gangProgressLine(p, width) + "\n";
        }
        m_err << text << std::flush;
        m_drawn = progress.size();
        return;
    }
    for (std::size_t i = 0; i < progress.size(); ++i) {
        // A plain line only when the port's step changes, not for every byte.
        const auto& p = progress[i];
        const std::string step =
            p.status + "|" + std::to_string(p.overall.macro) + "|" + (p.ended ? "ended" : "");
        if (step != m_last[i]) {
            m_last[i] = step;
            m_err << gangProgressLine(p, width) << "\n";
        }
    }
    m_err << std::flush;
}

}  // namespace brindle::cli
