// vorlen-tracker-sim: a GPS/GPRS tracker on a pseudo-terminal, for the tool's
// tests, benchmarks and demos. See --help.
#include <cerrno>
#include <cmath>
#include <csignal>
#include <iostream>
#include <optional>
#include <system_error>

#include <sys/signalfd.h>

#include "command_log.h"
#include "line_server.h"
#include "options.h"
#include "pseudo_terminal.h"
#include "tracker.h"

namespace {

using namespace vorlen::sim;

// The signals arrive through a descriptor that the loop polls: the stop
// signals, so the program always leaves through its destructors and the link
// goes with it, and the swap signal (see LineServer::Run).
int Signals() {
    sigset_t signals;
    ::sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, kSwapSignal}) {
        ::sigaddset(&signals, signal);
    }
    if (::sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "sigprocmask");
    }
    const int descriptor = ::signalfd(-1, &signals, SFD_CLOEXEC);
    if (descriptor < 0) {
        throw std::system_error(errno, std::generic_category(), "signalfd");
    }
    return descriptor;
}

TrackerTraits TraitsOf(const Options& options) {
    TrackerTraits traits;
    traits.awake = options.awake;
    traits.wakeAfter = std::chrono::milliseconds(std::llround(options.wakeAfter * 1000));
    traits.refused = options.refused;
    traits.misstored = options.misstored;
    traits.replies = CannedReplies(options.replies);
    traits.late = options.late;
    traits.echo = options.echo;
    traits.imei = options.imei;
    traits.bareImei = options.bareImei;
    return traits;
}

void Simulate(const Options& options) {
    std::signal(SIGPIPE, SIG_IGN);
    const int signals = Signals();
    CommandLog log(options.log);
    PseudoTerminal terminal;
    Tracker tracker(TraitsOf(options));
    std::optional<PublishedLink> link;
    if (!options.link.empty()) {
        link.emplace(options.link, terminal.path());
    }
    std::cout << terminal.path() << std::endl;
    LineServer(terminal.master(), tracker, log,
               LineTraits{options.silent, options.chunked, options.flood, options.trickle})
        .Run(signals);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app;
    app.name("vorlen-tracker-sim");
    DescribeOptions(app, options);
    CLI11_PARSE(app, argc, argv);
    try {
        Simulate(options);
    } catch (const std::exception& error) {
        std::cerr << "vorlen-tracker-sim: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
