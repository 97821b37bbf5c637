#include "provision/provision_options.h"

#include <cmath>
#include <string_view>

#include "model/bilingual.h"

namespace vorlen::provision {
namespace {

constexpr Bilingual kDescription{
    "Wakes, configures and verifies GPS/GPRS trackers from one profile (a TOML file that "
    "Vorlen's Save Profile writes). For every --port, in parallel: waits for the tracker's "
    "wake-up (reset it when asked), sends the whole profile with Set ALL's nineteen commands, "
    "reads the configuration back and compares it with the profile field by field. The "
    "profile and every port are checked before anything is sent to any tracker.",
    "按一个配置文件(Vorlen的保存配置写出的TOML文件)唤醒、设置并核对GPS/GPRS追踪器。"
    "每个--port并行进行: 等待追踪器唤醒(提示时请重启追踪器), 用设置所有配置的十九条命令"
    "发送整个配置文件, 读回配置信息并逐项与配置文件比较。向任何追踪器发送数据之前, "
    "先检查配置文件和所有串口。"};

constexpr Bilingual kFooter{
    "Exit status: 0 every tracker configured and verified; 1 any tracker failed (wake-up, "
    "a refused step, a differing value, a failed read); 2 bad arguments, a bad profile or a "
    "port that does not open (nothing was sent).",
    "退出状态: 0 所有追踪器已设置并核对; 1 有追踪器失败(唤醒、某步被拒绝、数值不同、"
    "读取失败); 2 参数错误、配置文件错误或串口无法打开(没有发送任何数据)。"};

constexpr Bilingual kProfileHelp{"the profile to send to every tracker",
                                 "发送给每个追踪器的配置文件"};
constexpr Bilingual kPortHelp{
    "a tracker's serial port (for example /dev/ttyUSB0 or COM3); may be repeated, each port "
    "runs in a thread of its own",
    "追踪器的串口(例如/dev/ttyUSB0或COM3); 可重复, 每个串口在自己的线程中运行"};
constexpr Bilingual kWakeTimeoutHelp{
    "give a tracker up when it has not answered the wake-up within SECONDS (default 120)",
    "追踪器在SECONDS秒内没有响应唤醒时放弃(默认120)"};
constexpr Bilingual kReportHelp{"also write the outcome of every port as JSON to FILE",
                                "同时把每个串口的结果以JSON写入FILE"};
constexpr Bilingual kListHelp{"print the serial ports found, with their friendly names",
                              "列出找到的串口及其名称"};
constexpr Bilingual kReadHelp{
    "wake the tracker on PORT and save its configuration as a profile (--out)",
    "唤醒PORT上的追踪器, 把它的配置信息保存为配置文件(--out)"};
constexpr Bilingual kOutHelp{"where --read saves the profile", "--read保存配置文件的位置"};
constexpr Bilingual kTraceHelp{"print every byte written to and read from each tracker",
                               "打印向每个追踪器写入和从中读取的每个字节"};
constexpr Bilingual kLanguageHelp{"the language of every text: en or zh",
                                  "所有文字的语言: en或zh"};

constexpr std::string_view kChineseName = "zh";

// A tracker is reset by hand within a minute or two; a day is far beyond any
// bench, and below a tenth of a second not even an awake tracker answers the
// two wake-up commands. Outside these bounds (nan and inf included, which
// would overflow the wait) the number is a slip, not a wish.
constexpr double kShortestWakeTimeout = 0.1;
constexpr double kLongestWakeTimeout = 24 * 60 * 60;

constexpr Bilingual kWakeTimeoutRange{
    "a number of seconds from 0.1 to 86400 is needed",
    "需要0.1到86400之间的秒数"};

int IndexOf(std::string_view language) {
    return language == kChineseName ? kChinese : kEnglish;
}

}  // namespace

int Options::LanguageIndex() const { return IndexOf(language); }

std::chrono::milliseconds Options::WakeTimeout() const {
    return std::chrono::milliseconds(std::llround(wakeTimeout * 1000));
}

void DescribeOptions(CLI::App& app, Options& options, int language) {
    const auto say = [language](const Bilingual& text) {
        return std::string(Utf8In(text, language));
    };
    app.description(say(kDescription));
    app.footer(say(kFooter));
    auto* profile = app.add_option("--profile", options.profile,
                                   say(kProfileHelp))
                        ->option_text("FILE");
    auto* ports = app.add_option("--port", options.ports,
                                 say(kPortHelp))
                      ->option_text("PORT");
    app.add_option("--wake-timeout", options.wakeTimeout,
                   say(kWakeTimeoutHelp))
        ->option_text("SECONDS")
        ->check(CLI::Validator(
            [range = say(kWakeTimeoutRange)](std::string& seconds) {
                double value = 0;
                const bool read = CLI::detail::lexical_cast(seconds, value);
                // Written so that nan fails every comparison and is refused.
                const bool within = read && value >= kShortestWakeTimeout &&
                                    value <= kLongestWakeTimeout;
                return within ? std::string() : range;
            },
            "", "wake-timeout range"));
    auto* report = app.add_option("--report", options.report,
                                  say(kReportHelp))
                       ->option_text("FILE");
    auto* list = app.add_flag("--list-ports", options.listPorts,
                              say(kListHelp));
    auto* read = app.add_option("--read", options.readPort,
                                say(kReadHelp))
                     ->option_text("PORT");
    auto* out = app.add_option("--out", options.out, say(kOutHelp))
                    ->option_text("FILE");
    auto* trace = app.add_flag("--trace", options.trace, say(kTraceHelp));
    app.add_option("--language", options.language, say(kLanguageHelp))
        ->check(CLI::IsMember({"en", "zh"}));
    profile->needs(ports);
    ports->needs(profile);
    report->needs(profile);
    read->needs(out);
    out->needs(read);
    read->excludes(profile);
    list->excludes(profile)->excludes(read)->excludes(trace);
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
