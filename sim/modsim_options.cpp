#include "sim/modsim_options.h"

#include <charconv>

namespace brindle::sim {

namespace {

template <typename T>
bool parseNumber(const std::string& text, T& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

bool parseProbability(const std::string& text, double& out) {
    return parseNumber(text, out) && out >= 0.0 && out <= 1.0;
}

bool parseMillis(const std::string& text, int64_t& micros) {
    double ms = 0;
    if (!parseNumber(text, ms) || ms < 0 || ms > 3.6e6) {
        return false;
    }
    micros = static_cast<int64_t>(ms * 1000.0);
    return true;
}

// One option of the command line: its name, the name of its value (none for
// a switch), what it sets (false for a value it refuses; a switch gets an
// empty value) and its help, whose lines after the first are continued under
// it.
struct Option {
    const char* name;
    const char* value;
    bool (*set)(ModsimConfig& config, const std::string& value);
    const char* help;
};

constexpr std::size_t kHelpColumn = 25;

const Option kOptions[] = {
    {"--link", "PATH",
     [](ModsimConfig& c, const std::string& v) {
         c.linkPath = v;
         return true;
     },
     "create a symbolic link PATH to the terminal"},
    {"--eeprom", "FILE",
     [](ModsimConfig& c, const std::string& v) {
         c.eepromFile = v;
         return true;
     },
     "E2PROM image: loaded, saved after every write and at exit"},
    {"--log", "FILE",
     [](ModsimConfig& c, const std::string& v) {
         c.logFile = v;
         return true;
     },
     "write every byte received to FILE"},
    {"--baud", "N",
     [](ModsimConfig& c, const std::string& v) {
         return parseNumber(v, c.module.baud) && c.module.baud >= 0;
     },
     "the line runs at N baud both ways (10 bits a byte);\n"
     "0 = bytes pass at once (the default)"},
    {"--write-time", "MS",
     [](ModsimConfig& c, const std::string& v) { return parseMillis(v, c.module.writeTimeMicros); },
     "time to store a written byte; frames that arrive\n"
     "meanwhile are answered after it (default 0)"},
    {"--fifo", "N",
     [](ModsimConfig& c, const std::string& v) {
         return parseNumber(v, c.fifoBytes) && c.fifoBytes >= 1 && c.fifoBytes <= 4096;
     },
     "answer bytes reach the terminal N at a time, and at the\n"
     "end of each answer, as from a UART's FIFO (default 8)"},
    {"--latency", "MS",
     [](ModsimConfig& c, const std::string& v) { return parseMillis(v, c.module.latencyMicros); },
     "turnaround before an answer (default 0.2)"},
    {"--dump-delay", "MS",
     [](ModsimConfig& c, const std::string& v) { return parseMillis(v, c.module.dumpDelayMicros); },
     "extra pause before a dump (default 20)"},
    {"--drop", "P",
     [](ModsimConfig& c, const std::string& v) {
         return parseProbability(v, c.module.dropProbability);
     },
     "leave an answer out with probability P"},
    {"--corrupt", "P",
     [](ModsimConfig& c, const std::string& v) {
         return parseProbability(v, c.module.corruptProbability);
     },
     "change one byte of an answer with probability P"},
    {"--corrupt-bytes", "P",
     [](ModsimConfig& c, const std::string& v) {
         return parseProbability(v, c.module.corruptByteProbability);
     },
     "change each byte of an answer with probability P"},
    {"--bad-checksum", "P",
     [](ModsimConfig& c, const std::string& v) {
         return parseProbability(v, c.module.badChecksumProbability);
     },
     "change the checksum of a read reply with probability P"},
    {"--drop-second-reads", nullptr,
     [](ModsimConfig& c, const std::string&) {
         c.module.dropEverySecondRead = true;
         return true;
     },
     "answer only reads 1, 3, 5, ..."},
    {"--echo", nullptr,
     [](ModsimConfig& c, const std::string&) {
         c.module.echo = true;
         return true;
     },
     "repeat every frame before answering it"},
    {"--silent", nullptr,
     [](ModsimConfig& c, const std::string&) {
         c.module.silent = true;
         return true;
     },
     "never answer"},
    {"--corrupt-dump", "N",
     [](ModsimConfig& c, const std::string& v) {
         return parseNumber(v, c.module.corruptDumpOffset) && c.module.corruptDumpOffset >= 0;
     },
     "the first dump sends the stored byte at macro-area\n"
     "offset N changed"},
    {"--stop-after", "N",
     [](ModsimConfig& c, const std::string& v) {
         return parseNumber(v, c.module.stopAfterFrames) && c.module.stopAfterFrames >= 0;
     },
     "answer nothing more once N frames have arrived"},
    {"--chatter", nullptr,
     [](ModsimConfig& c, const std::string&) {
         c.module.chatterAtStart = true;
         return true;
     },
     "talk from the start, as while a macro runs"},
    {"--run-chatters", nullptr,
     [](ModsimConfig& c, const std::string&) {
         c.module.runChatters = true;
         return true;
     },
     "a started block talks until it is cancelled"},
    {"--chatter-interval", "MS",
     [](ModsimConfig& c, const std::string& v) {
         return parseMillis(v, c.module.chatterIntervalMicros) &&
                c.module.chatterIntervalMicros > 0;
     },
     "pause between chatter lines (default 20)"},
    {"--trickle", "MS",
     [](ModsimConfig& c, const std::string& v) {
         return parseMillis(v, c.module.trickleIntervalMicros) &&
                c.module.trickleIntervalMicros > 0;
     },
     "a dump never ends: 'R' and a byte every MS after it"},
    {"--sync", "frame|yes|none",
     [](ModsimConfig& c, const std::string& v) {
         if (v == "frame") {
             c.module.syncReply = SyncReply::Frame;
         } else if (v == "yes") {
             c.module.syncReply = SyncReply::YesLine;
         } else if (v == "none") {
             c.module.syncReply = SyncReply::None;
         } else {
             return false;
         }
         return true;
     },
     "answer to CR CR while talking (default frame)"},
    {"--seed", "N",
     [](ModsimConfig& c, const std::string& v) { return parseNumber(v, c.module.seed); },
     "seed of the trouble options (default 1)"},
};

// "  NAME VALUE" and the help from kHelpColumn on, each further help line
// under the first.
std::string usageLine(const std::string& option, const std::string& help) {
    std::string out = "  " + option;
    out.append(kHelpColumn > out.size() ? kHelpColumn - out.size() : 1, ' ');
    for (char c : help) {
        out += c;
        if (c == '\n') {
            out.append(kHelpColumn, ' ');
        }
    }
    return out + "\n";
}

const Option* findOption(const std::string& name) {
    for (const Option& option : kOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace

std::string modsimUsage() {
    // --version (and --help) are answered before the options are read.
    std::string usage =
        "usage: brindle-modsim [options]\n" + usageLine("--version", "print the version and stop");
    for (const Option& option : kOptions) {
        const std::string value = option.value != nullptr ? std::string(" ") + option.value : "";
        usage += usageLine(option.name + value, option.help);
    }
    return usage;
}

std::optional<ModsimConfig> parseModsimArguments(const std::vector<std::string>& args,
                                                 std::string& error) {
    ModsimConfig config;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const Option* option = findOption(a);
        if (option == nullptr) {
            error = "unknown option " + a;
            return std::nullopt;
        }
        std::string v;
        if (option->value != nullptr) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return std::nullopt;
            }
            v = args[++i];
        }
        if (!option->set(config, v)) {
            error = "bad value for " + a + (v.empty() ? "" : ": " + v);
            return std::nullopt;
        }
    }
    return config;
}

}  // namespace brindle::sim
