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
    "SIGUSR1 swaps the tracker behind the terminal without the terminal going away, as "
    "when the cable's tracker is replaced: the new one is asleep as after a reset (even "
    "with --awake), holds the factory configuration and the next IMEI (the IMEI's trailing "
    "digits counted up by one); commands and answers still on the line are dropped.\n"
    "\n"
    "Log format (--log): one line per received command line, written when it arrives and "
    "flushed at once:\n"
    "  SECONDS.MILLISECONDS COMMAND\n"
    "SECONDS is the system's monotonic clock (CLOCK_MONOTONIC, the clock of "
    "std::chrono::steady_clock), with exactly three decimals; one space; then the command "
    "without its line feed and without the carriage return before it. Bytes outside "
    "printable ASCII, and the backslash, are written as \\xHH (two lowercase hex digits).\n"
    "Example: 12345.678 AT+OPENAT=710,123;";

// "CODE=BYTES", where \xHH stands for any byte. False for anything else.
bool ParseReply(const std::string& option, std::string& code, std::string& bytes) {
    const std::size_t equals = option.find('=');
    if (equals == 0 || equals == std::string::npos) {
        return false;
    }
    code = option.substr(0, equals);
    bytes.clear();
    for (std::size_t i = equals + 1; i < option.size(); ++i) {
        if (option[i] != '\\') {
            bytes += option[i];
            continue;
        }
        const std::string hex = option.substr(i + 1, 3);
        if (hex.size() != 3 || hex[0] != 'x' ||
            hex.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
            return false;
        }
        bytes += static_cast<char>(std::stoi(hex.substr(1), nullptr, 16));
        i += 3;
    }
    return true;
}

}  // namespace

std::map<std::string, std::string> CannedReplies(const std::vector<std::string>& replies) {
    std::map<std::string, std::string> canned;
    for (const std::string& reply : replies) {
        std::string code;
        std::string bytes;
        if (ParseReply(reply, code, bytes)) {
            canned[code] = bytes;
        }
    }
    return canned;
}

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
    app.add_option("--misstore", options.misstored,
                   "acknowledge this AT+OPENAT setting code with OK but store its first value "
                   "(for 711 the number) with a 9 appended, like a tracker that keeps another value than it was told "
                   "(a setting without arguments is acknowledged and not stored at all); may be "
                   "repeated")
        ->option_text("CODE");
    app.add_option("--reply", options.replies,
                   "answer this command with exactly BYTES instead, where \\xHH stands for any "
                   "byte (a zero byte, a byte that is not text); nothing is added, not even OK. "
                   "CODE as for --refuse; may be repeated")
        ->check(CLI::Validator(
            [](const std::string& reply) {
                std::string code;
                std::string bytes;
                return ParseReply(reply, code, bytes) ? std::string()
                                                      : "expected CODE=BYTES: " + reply;
            },
            "CODE=BYTES"))
        ->option_text("CODE=BYTES");
    app.add_option("--late", options.late,
                   "answer this command 3 seconds after it arrived, when the tool has given up "
                   "waiting (after 2.5 s of silence), so the answer lies on the line for the next "
                   "command to find; CODE as for --refuse; may be repeated")
        ->option_text("CODE");
    app.add_flag("--echo", options.echo,
                 "echo each command line before its answer, as modems do; with --refuse, a "
                 "refused command whose arguments hold OK (an APN such as OKNET) is echoed with "
                 "that OK before its ERROR");
    app.add_flag("--chunked", options.chunked,
                 "send answers in pieces of 3 bytes, 60 ms apart");
    app.add_flag("--flood", options.flood,
                 "from the first command on, send digits without end and never OK");
    app.add_flag("--trickle", options.trickle,
                 "from the first command on, send one digit every 40 ms without end and never "
                 "OK, so every poll of the tool finds a byte and none is silent");
    app.add_option("--imei", options.imei,
                   "the IMEI the tracker starts with (" + options.imei + " unless given); any "
                   "bytes, so two simulators may share one (a cloned IMEI) or hold a terminal "
                   "escape")
        ->option_text("TEXT");
    app.add_flag("--bare-imei", options.bareImei,
                 "answer AT+EGMR=0,7 with the IMEI without its quotes (+EGMR: 864507030000001), "
                 "as a tracker of other firmware might");
}

}  // namespace vorlen::sim
