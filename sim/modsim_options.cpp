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

}  // namespace

std::string modsimUsage() {
    return "usage: brindle-modsim [options]\n"
           "  --version              print the version and stop\n"
           "  --link PATH            create a symbolic link PATH to the terminal\n"
           "  --eeprom FILE          E2PROM image: loaded, saved after every write and at exit\n"
           "  --log FILE             write every byte received to FILE\n"
           "  --baud N               the line runs at N baud both ways (10 bits a byte);\n"
           "                         0 = bytes pass at once (the default)\n"
           "  --write-time MS        time to store a written byte; frames that arrive\n"
           "                         meanwhile are answered after it (default 0)\n"
           "  --fifo N               answer bytes reach the terminal N at a time, and at the\n"
           "                         end of each answer, as from a UART's FIFO (default 8)\n"
           "  --latency MS           turnaround before an answer (default 0.2)\n"
           "  --dump-delay MS        extra pause before a dump (default 20)\n"
           "  --drop P               leave an answer out with probability P\n"
           "  --corrupt P            change one byte of an answer with probability P\n"
           "  --corrupt-bytes P      change each byte of an answer with probability P\n"
           "  --bad-checksum P       change the checksum of a read reply with probability P\n"
           "  --drop-second-reads    answer only reads 1, 3, 5, ...\n"
           "  --echo                 repeat every frame before answering it\n"
           "  --silent               never answer\n"
           "  --corrupt-dump N       the first dump sends the stored byte at macro-area\n"
           "                         offset N changed\n"
           "  --stop-after N         answer nothing more once N frames have arrived\n"
           "  --chatter              talk from the start, as while a macro runs\n"
           "  --run-chatters         a started block talks until it is cancelled\n"
           "  --chatter-interval MS  pause between chatter lines (default 20)\n"
           "  --trickle MS           a dump never ends: 'R' and a byte every MS after it\n"
           "  --sync frame|yes|none  answer to CR CR while talking (default frame)\n"
           "  --seed N               seed of the trouble options (default 1)\n";
}

std::optional<ModsimConfig> parseModsimArguments(const std::vector<std::string>& args,
                                                 std::string& error) {
    ModsimConfig config;
    ModuleOptions& m = config.module;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        bool ok = true;
        if (a == "--link") {
            ok = value(config.linkPath);
        } else if (a == "--eeprom") {
            ok = value(config.eepromFile);
        } else if (a == "--log") {
            ok = value(config.logFile);
        } else if (a == "--baud") {
            ok = value(v) && parseNumber(v, m.baud) && m.baud >= 0;
        } else if (a == "--latency") {
            ok = value(v) && parseMillis(v, m.latencyMicros);
        } else if (a == "--fifo") {
            ok = value(v) && parseNumber(v, config.fifoBytes) && config.fifoBytes >= 1 &&
                 config.fifoBytes <= 4096;
        } else if (a == "--write-time") {
            ok = value(v) && parseMillis(v, m.writeTimeMicros);
        } else if (a == "--dump-delay") {
            ok = value(v) && parseMillis(v, m.dumpDelayMicros);
        } else if (a == "--chatter-interval") {
            ok = value(v) && parseMillis(v, m.chatterIntervalMicros) && m.chatterIntervalMicros > 0;
        } else if (a == "--trickle") {
            ok = value(v) && parseMillis(v, m.trickleIntervalMicros) && m.trickleIntervalMicros > 0;
        } else if (a == "--drop") {
            ok = value(v) && parseProbability(v, m.dropProbability);
        } else if (a == "--corrupt") {
            ok = value(v) && parseProbability(v, m.corruptProbability);
        } else if (a == "--corrupt-bytes") {
            ok = value(v) && parseProbability(v, m.corruptByteProbability);
        } else if (a == "--bad-checksum") {
            ok = value(v) && parseProbability(v, m.badChecksumProbability);
        } else if (a == "--corrupt-dump") {
            ok = value(v) && parseNumber(v, m.corruptDumpOffset) && m.corruptDumpOffset >= 0;
        } else if (a == "--stop-after") {
            ok = value(v) && parseNumber(v, m.stopAfterFrames) && m.stopAfterFrames >= 0;
        } else if (a == "--seed") {
            ok = value(v) && parseNumber(v, m.seed);
        } else if (a == "--sync") {
            ok = value(v);
            if (ok && v == "frame") {
                m.syncReply = SyncReply::Frame;
            } else if (ok && v == "yes") {
                m.syncReply = SyncReply::YesLine;
            } else if (ok && v == "none") {
                m.syncReply = SyncReply::None;
            } else {
                ok = false;
            }
        } else if (a == "--drop-second-reads") {
            m.dropEverySecondRead = true;
        } else if (a == "--echo") {
            m.echo = true;
        } else if (a == "--silent") {
            m.silent = true;
        } else if (a == "--chatter") {
            m.chatterAtStart = true;
        } else if (a == "--run-chatters") {
            m.runChatters = true;
        } else {
            error = "unknown option " + a;
            return std::nullopt;
        }
        if (!ok) {
            if (error.empty()) {
                error = "bad value for " + a + (v.empty() ? "" : ": " + v);
            }
            return std::nullopt;
        }
    }
    return config;
}

}  // namespace brindle::sim
