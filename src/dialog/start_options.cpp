#include "dialog/start_options.h"

#include <algorithm>
#include <map>
#include <sstream>

#include <CLI/CLI.hpp>

namespace vorlen {
namespace {

const std::map<std::string, int> kLanguages{{"en", kEnglish}, {"zh", kChinese}};

void DescribeOptions(CLI::App& app, StartOptions& options, std::string& language) {
    app.description(
        "Configures a GPS/GPRS tracker over a serial line. Opens the first port found "
        "(USB adapters first) unless told which.");
    app.add_option("--port", options.port,
                   "open PORT at start, e.g. /dev/ttyUSB1 or COM3; a port the list does not "
                   "show (a pseudo-terminal, a link) is added to it")
        ->option_text("PORT");
    app.add_option("--language", language, "start in English (en) or Chinese (zh)")
        ->option_text("en|zh");
    app.set_version_flag("--version", "vorlen " VORLEN_VERSION);
    app.allow_extras();
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

}  // namespace

StartCommandLine ReadStartCommandLine(std::vector<std::string> arguments,
                                      const std::function<bool(const std::string&)>& portExists) {
    StartCommandLine result;
    std::string language = "en";
    CLI::App app("vorlen", "vorlen");
    DescribeOptions(app, result.options, language);
    std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them last first
    try {
        app.parse(arguments);
    } catch (const CLI::Success& done) {  // --help, --version
        std::ostringstream out;
        result.exitCode = app.exit(done, out, out);
        result.text = out.str();
        return result;
    } catch (const CLI::ParseError& error) {
        result.options = StartOptions{};
        result.text = "vorlen: " + FirstLine(error.what()) + " (see vorlen --help)";
        return result;
    }
    const auto tell = [&result](const std::string& line) {
        result.text += (result.text.empty() ? "vorlen: " : "\nvorlen: ") + line;
    };
    if (!app.remaining().empty()) {
        std::string extras;
        for (const std::string& extra : app.remaining()) {
            extras += (extras.empty() ? "" : " ") + extra;
        }
        tell("did not understand " + extras + " (see vorlen --help)");
    }
    if (const auto known = kLanguages.find(language); known != kLanguages.end()) {
        result.options.language = known->second;
    } else {
        tell("--language takes en or zh, not " + language + "; starting in English");
    }
    // The port stays asked for: the window lists it and tells why it does
    // not open, rather than opening a port the operator did not mean.
    if (result.options.port && !portExists(*result.options.port)) {
        tell("there is no port " + *result.options.port + "; pick the port from the list");
    }
    return result;
}

}  // namespace vorlen
