#include "options.h"

namespace vorlen::sim {

namespace {

constexpr const char* kDescription =
    "Plays a GPS/GPRS tracker on a pseudo-terminal, for the tool's tests, benchmarks and "
    "demos. Prints the terminal's path on a line of its own, then answers the tool's "
    "commands until it receives SIGINT, SIGTERM or SIGHUP. The stored configuration lives "
    "as long as the program; the tool may close and reopen the port at will.";

constexpr const char* kFooter =
    "Asleep until woken (unless --awake): it answers only AT+ISP=RCAL:8, then AT+ESLP=0, "
    "and is awake after both.\n"
    "\n"
    "Log format (--log): one line per received command line, written when it arrives and "
    "flushed at once:\n"
    "  SECONDS.MILLISECONDS COMMAND\n"
    "SECONDS is the system's monotonic clock (CLOCK_MONOTONIC, the clock of "
    "std::chrono::steady_clock), with exactly three decimals; one space; then the command "
    "without its line feed and without the carriage return before it. Bytes outside "
    "printable ASCII, and the backslash, are written as \\xHH (two lowercase hex digits).\n"
    "Example: 12345.678 AT+OPENAT=710,123;";

}  // namespace

void DescribeOptions(CLI::App& app, Options& options) {
    app.description(kDescription);
    app.footer(kFooter);
    app.add_option("--link", options.link,
                   "also publish the terminal as a symbolic link at PATH (replacing a stale "
                   "link, never a file); removed on exit")
        ->option_text("PATH");
    app.add_option("--log", options.log, "write every received command line to FILE")
        ->option_text("FILE");
    app.add_flag("--awake", options.awake, "start awake instead of waiting for the wake-up");
    app.add_option("--wake-after", options.wakeAfter,
                   "while asleep, ignore AT+ISP=RCAL:8 until SECONDS after the first one "
                   "arrived, like a tracker that is still resetting")
        ->option_text("SECONDS")
        ->check(CLI::NonNegativeNumber);
    app.add_flag("--silent", options.silent, "never answer anything");
    app.add_option("--refuse", options.refused,
                   "answer ERROR to this command: an AT+OPENAT code such as 710, or an AT "
                   "command name such as EGMR, ISP or ESLP; may be repeated")
        ->option_text("CODE");
    app.add_flag("--echo", options.echo, "echo each command line before its answer, as modems do");
    app.add_flag("--chunked", options.chunked,
                 "send answers in pieces of 3 bytes, 60 ms apart");
    app.add_flag("--flood", options.flood,
                 "from the first command on, send digits without end and never OK");
    app.add_option("--imei", options.imei,
                   "the IMEI the tracker starts with (" + options.imei + " unless given)")
        ->option_text("TEXT");
}

}  // namespace vorlen::sim
