#include "provision/provision_options.h"

#include <string_view>

#include "model/bilingual.h"

namespace vorlen::provision {
namespace {

constexpr const char* kDescription =
    "Wakes, configures and verifies GPS/GPRS trackers from one profile (a TOML file that "
    "Vorlen's Save Profile writes). For every --port, in parallel: waits for the tracker's "
    "wake-up (reset it when asked), sends the whole profile with Set ALL's nineteen commands, "
    "reads the configuration back and compares it with the profile field by field. The "
    "profile and every port are checked before anything is sent to any tracker.";

constexpr const char* kFooter =
    "Exit status: 0 every tracker configured and verified; 1 any tracker failed (wake-up, "
    "a refused step, a differing value, a failed read); 2 bad arguments, a bad profile or a "
    "port that does not open (nothing was sent).";

constexpr std::string_view kChineseName = "zh";

int IndexOf(std::string_view language) {
    return language == kChineseName ? kChinese : kEnglish;
}

}  // namespace

int Options::LanguageIndex() const { return IndexOf(language); }

std::chrono::milliseconds Options::WakeTimeout() const {
    return std::chrono::milliseconds(static_cast<long long>(wakeTimeout * 1000));
}

void DescribeOptions(CLI::App& app, Options& options) {
    app.description(kDescription);
    app.footer(kFooter);
    auto* profile = app.add_option("--profile", options.profile,
                                   "the profile to send to every tracker")
                        ->option_text("FILE");
    auto* ports = app.add_option("--port", options.ports,
                                 "a tracker's serial port (for example /dev/ttyUSB0 or COM3); "
                                 "may be repeated, each port runs in a thread of its own")
                      ->option_text("PORT");
    app.add_option("--wake-timeout", options.wakeTimeout,
                   "give a tracker up when it has not answered the wake-up within SECONDS "
                   "(default 120)")
        ->option_text("SECONDS")
        ->check(CLI::PositiveNumber);
    auto* report = app.add_option("--report", options.report,
                                  "also write the outcome of every port as JSON to FILE")
                       ->option_text("FILE");
    auto* list = app.add_flag("--list-ports", options.listPorts,
                              "print the serial ports found, with their friendly names");
    auto* read = app.add_option("--read", options.readPort,
                                "wake the tracker on PORT and save its configuration as a "
                                "profile (--out)")
                     ->option_text("PORT");
    auto* out = app.add_option("--out", options.out, "where --read saves the profile")
                    ->option_text("FILE");
    app.add_option("--language", options.language, "the language of every text: en or zh")
        ->check(CLI::IsMember({"en", "zh"}));
    profile->needs(ports);
    ports->needs(profile);
    report->needs(profile);
    read->needs(out);
    out->needs(read);
    read->excludes(profile);
    list->excludes(profile)->excludes(read);
}

int LanguageAskedFor(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--language=zh" || (argument == "--language" && i + 1 < argc &&
                                            argv[i + 1] == kChineseName)) {
            return kChinese;
        }
    }
    return kEnglish;
}

}  // namespace vorlen::provision
