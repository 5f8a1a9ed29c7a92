// brindle-modsim: a Macro Module on a pseudo-terminal. The first line of
// standard output is the terminal's device path.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "base/version.h"
#include "sim/modsim_options.h"
#include "sim/pty_server.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

extern "C" void onSignal(int) {
    g_stop = 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(brindle::sim::modsimUsage().c_str(), stdout);
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        std::printf("brindle-modsim %s\n", brindle::base::kVersion);
        return 0;
    }
    std::string error;
    auto config = brindle::sim::parseModsimArguments(args, error);
    if (!config) {
        std::fprintf(stderr, "brindle-modsim: %s\n%s", error.c_str(),
                     brindle::sim::modsimUsage().c_str());
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigset_t stopSignals;
    sigset_t waitMask;
    sigemptyset(&stopSignals);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(s, &action, nullptr);
        sigaddset(&stopSignals, s);
    }
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    std::signal(SIGPIPE, SIG_IGN);

    brindle::sim::PtyServer server(*config);
    if (!server.start(error)) {
        std::fprintf(stderr, "brindle-modsim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", server.devicePath().c_str());
    std::fflush(stdout);
    server.run(g_stop, &waitMask);
    server.finish();
    return 0;
}
