#include "provision/provision_options.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "model/bilingual.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

constexpr Bilingual kDescription{
    "Wakes, configures and verifies GPS/GPRS trackers from one profile (a TOML file that "
    "Vorlen's Save Profile writes). For every --port, in parallel: waits for the tracker's "
    "wake-up (reset it when asked), reads its IMEI and its configuration; a tracker that "
    "does not hold the profile yet gets the whole profile with Set ALL's nineteen commands, "
    "then is read back and compared with the profile field by field. The profile and every "
    "port are checked before anything is sent to any tracker.",
    "按一个配置文件(Vorlen的保存配置写出的TOML文件)唤醒、设置并核对GPS/GPRS追踪器。"
    "每个--port并行进行: 等待追踪器唤醒(提示时请重启追踪器), 读取其IMEI和配置信息; "
    "尚未保存该配置的追踪器用设置所有配置的十九条命令接收整个配置文件, 然后读回并逐项与"
    "配置文件比较。向任何追踪器发送数据之前, 先检查配置文件和所有串口。"};

constexpr Bilingual kFooter{
    "With --watch the program is a fleet station: each --port is a slot (it need not exist "
    "yet) into which trackers are plugged one after another. Each slot waits for its port "
    "and for a tracker that answers the wake-up, configures, verifies and records it, then "
    "waits for the next: a tracker with another IMEI, or the port going away and coming "
    "back. A tracker left in its slot is never written twice. One line per slot shows its "
    "phase, the tracker's IMEI and the last outcome, under them the counts and trackers "
    "per hour. Ctrl-C stops every slot after its current command; with --count N no slot "
    "starts another tracker once N have started, and the station stops when they end.\n"
    "\n"
    "Exit status: 0 every tracker configured and verified; 1 any tracker failed (wake-up, "
    "a refused step, a differing value, a failed read, stopped by Ctrl-C mid-run); 2 bad "
    "arguments, a bad profile or a port that does not open (nothing was sent).",
    "使用--watch时本程序是一个车队工位: 每个--port是一个插槽(可以尚不存在), 追踪器依次"
    "插入其中。每个插槽等待其串口和响应唤醒的追踪器, 设置、核对并记录它, 然后等待下一个: "
    "IMEI不同的追踪器, 或串口断开后重新出现。留在插槽中的追踪器不会被写入两次。每个插槽"
    "一行显示其阶段、追踪器的IMEI和上一个结果, 下面是计数和每小时追踪器数。Ctrl-C使每个"
    "插槽完成当前命令后停止; 使用--count N时, N个追踪器开始后插槽不再接收新的追踪器, "
    "它们结束后工位停止。\n"
    "\n"
    "退出状态: 0 所有追踪器已设置并核对; 1 有追踪器失败(唤醒、某步被拒绝、数值不同、"
    "读取失败、运行中被Ctrl-C停止); 2 参数错误、配置文件错误或串口无法打开(没有发送任何"
    "数据)。"};

constexpr Bilingual kProfileHelp{"the profile to send to every tracker",
                                 "发送给每个追踪器的配置文件"};
constexpr Bilingual kPortHelp{
    "a tracker's serial port (for example /dev/ttyUSB0 or COM3); may be repeated, each port "
    "runs in a thread of its own; NAME=PORT gives the slot a short name (A=COM3), an unnamed "
    "one is numbered by its place",
    "追踪器的串口(例如/dev/ttyUSB0或COM3); 可重复, 每个串口在自己的线程中运行; NAME=PORT"
    "为插槽取一个短名称(A=COM3), 未命名的插槽按其位置编号"};
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
constexpr Bilingual kCheckHelp{
    "only compare each tracker with the profile (and its device row); nothing is written. "
    "Exit status 0 when every tracker holds it, 1 when any differs",
    "只把每个追踪器与配置文件(及其设备行)比较, 不写入任何设置。全部一致时退出状态为0, "
    "有不同时为1"};
constexpr Bilingual kForceHelp{"write the profile even to a tracker that already holds it",
                               "即使追踪器已保存该配置也写入"};
constexpr Bilingual kDevicesHelp{
    "a CSV file: a header of imei and profile keys, then one row per tracker with its own "
    "values; a tracker not listed gets nothing written",
    "CSV文件: 标题行为imei和配置文件的键, 然后每个追踪器一行自己的数值; 未列出的追踪器"
    "不写入任何设置"};
constexpr Bilingual kJournalHelp{
    "keep the journal in this SQLite FILE, or in a PostgreSQL database given as "
    "postgresql://... (default: journal.sqlite in the user's data folder)",
    "把日志记录在这个SQLite文件中, 或记录在以postgresql://...给出的PostgreSQL数据库中"
    "(默认: 用户数据文件夹中的journal.sqlite)"};
constexpr Bilingual kNoJournalHelp{"keep no journal", "不记录日志"};
constexpr Bilingual kStationHelp{"the station's name in the journal (default: the host name)",
                                 "日志中的工位名称(默认: 主机名)"};
constexpr Bilingual kOperatorHelp{"the operator's name in the journal", "日志中的操作员姓名"};
constexpr Bilingual kLotHelp{
    "the batch (lot) the trackers belong to, on each of their journal rows",
    "本批设备的批次号，记入每台设备的日志行"};
constexpr Bilingual kHistoryHelp{
    "print the journal's rows by their start, newest first (50, and how many more); only "
    "the tracker's with an IMEI; --since, --until, --station, --operator, --lot, --profile "
    "and --result pick the rows",
    "按开始时间打印日志中的记录, 最新的在前(50条, 并说明还有多少条); 给出IMEI时只打印该追踪器"
    "的; --since、--until、--station、--operator、--lot、--profile和--result筛选记录"};
constexpr Bilingual kCsvHelp{
    "print --history as CSV: every row the filters match unless --limit is given",
    "以CSV格式打印--history: 除非给出--limit, 否则打印符合筛选条件的所有记录"};
constexpr Bilingual kSummaryHelp{
    "print the counts of the rows the filters match: results and yield, failures by step, "
    "each station, operator and lot, the phases' times and the trackers per hour of the day",
    "打印符合筛选条件的记录的统计: 结果和合格率, 按步骤的失败, 每个工位、操作员和批次, "
    "各阶段的时间和每天各小时的追踪器数"};
constexpr Bilingual kHtmlHelp{
    "with --summary, write it with charts as one HTML FILE (readable by its owner only)",
    "与--summary一起使用, 把统计和图表写成一个HTML文件(仅其所有者可读)"};
constexpr Bilingual kSinceHelp{
    "with --history or --summary, only rows started at or after TIME: YYYY-MM-DD, "
    "YYYY-MM-DD HH:MM or YYYY-MM-DDTHH:MM:SS, local time unless it ends in Z",
    "与--history或--summary一起使用, 只取在TIME或之后开始的记录: YYYY-MM-DD、"
    "YYYY-MM-DD HH:MM或YYYY-MM-DDTHH:MM:SS, 以Z结尾时为UTC, 否则为本地时间"};
constexpr Bilingual kUntilHelp{
    "only rows started before TIME; a date alone keeps that whole day",
    "只取在TIME之前开始的记录; 只给日期时包括那一整天"};
constexpr Bilingual kResultHelp{
    "only rows with this result (done, unchanged, not-listed, not-woken, step-failed, "
    "read-back-failed, differs, unfinished); may be repeated",
    "只取该结果的记录(done、unchanged、not-listed、not-woken、step-failed、read-back-failed、"
    "differs、unfinished); 可重复"};
constexpr Bilingual kLimitHelp{"show at most N rows (the table shows 50 by default)",
                               "最多显示N条记录(表格默认显示50条)"};
constexpr Bilingual kUtcHelp{"show times in UTC instead of local time",
                             "以UTC而不是本地时间显示时间"};
constexpr Bilingual kWatchHelp{
    "run as a fleet station until Ctrl-C: each --port is a slot into which trackers are "
    "plugged one after another; each new tracker is configured, verified and recorded",
    "作为车队工位运行直到Ctrl-C: 每个--port是一个插槽, 追踪器依次插入; 每个新追踪器都被"
    "设置、核对并记录"};
constexpr Bilingual kCountHelp{
    "with --watch, start no more than N trackers and stop once each has its outcome",
    "与--watch一起使用, 最多开始N个追踪器, 每个都有结果后停止"};
constexpr Bilingual kBellHelp{
    "with --watch, ring the terminal's bell when a tracker fails",
    "与--watch一起使用, 追踪器失败时终端响铃"};
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
                      ->option_text("[NAME=]PORT");
    auto* wakeTimeout = app.add_option("--wake-timeout", options.wakeTimeout,
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
    auto* check = app.add_flag("--check", options.check, say(kCheckHelp));
    auto* force = app.add_flag("--force", options.force, say(kForceHelp));
    auto* devices = app.add_option("--devices", options.devices, say(kDevicesHelp))
                        ->option_text("FILE.csv");
    auto* journal = app.add_option("--journal", options.journal, say(kJournalHelp))
                        ->option_text("FILE|URI");
    auto* noJournal = app.add_flag("--no-journal", options.noJournal, say(kNoJournalHelp));
    app.add_option("--station", options.station, say(kStationHelp))
                        ->option_text("NAME");
    app.add_option("--operator", options.operatorName, say(kOperatorHelp))
                    ->option_text("NAME");
    app.add_option("--lot", options.lot, say(kLotHelp))->option_text("NAME");
    auto* history = app.add_option("--history", options.history, say(kHistoryHelp))
                        ->option_text("[IMEI]")
                        ->expected(0, 1);
    auto* csv = app.add_flag("--csv", options.csv, say(kCsvHelp));
    auto* summary = app.add_flag("--summary", options.summary, say(kSummaryHelp));
    auto* html = app.add_option("--html", options.html, say(kHtmlHelp))->option_text("FILE");
    app.add_option("--since", options.since, say(kSinceHelp))->option_text("TIME");
    app.add_option("--until", options.until, say(kUntilHelp))->option_text("TIME");
    app.add_option("--result", options.results, say(kResultHelp))
                       ->option_text("RESULT")
                       ->check(CLI::IsMember({"done", "unchanged", "not-listed", "not-woken",
                                              "step-failed", "read-back-failed", "differs",
                                              "unfinished"}));
    auto* limit = app.add_option("--limit", options.limit, say(kLimitHelp))
                      ->option_text("N")
                      ->check(CLI::PositiveNumber);
    app.add_flag("--utc", options.utc, say(kUtcHelp));
    auto* watch = app.add_flag("--watch", options.watch, say(kWatchHelp));
    auto* count = app.add_option("--count", options.count, say(kCountHelp))
                      ->option_text("N")
                      ->check(CLI::PositiveNumber);
    auto* bell = app.add_flag("--bell", options.bell, say(kBellHelp));
    app.add_option("--language", options.language, say(kLanguageHelp))
        ->check(CLI::IsMember({"en", "zh"}));
    // --profile without --port is refused by Run: with --history it is a filter.
    ports->needs(profile);
    report->needs(profile);
    read->needs(out);
    out->needs(read);
    read->excludes(profile);
    list->excludes(profile)->excludes(read)->excludes(trace);
    for (CLI::Option* option : {check, force, devices}) {
        option->needs(profile);
    }
    check->excludes(force);
    noJournal->excludes(journal)->excludes(history)->excludes(summary);
    for (CLI::Option* reading : {history, summary}) {
        for (CLI::Option* running : {ports, read, list, report, check, force, devices, watch, trace}) {
            reading->excludes(running);
        }
    }
    history->excludes(summary);
    csv->needs(history);
    html->needs(summary);
    limit->needs(history);
    // --since, --until, --result and --utc need --history or --summary, and
    // --profile without it needs --port: Run says so, as CLI11 cannot.
    watch->needs(profile)->excludes(report)->excludes(trace)->excludes(wakeTimeout);
    count->needs(watch);
    bell->needs(watch);
}

std::optional<std::string> NameSlots(Options& options) {
    const int language = options.LanguageIndex();
    std::string mistake;
    std::optional<std::vector<SlotName>> slots = NamedSlots(options.ports, mistake);
    if (!slots) {
        return Say(text::kSlotHalfNamed, language, {.port = mistake});
    }
    std::vector<std::string> names;
    for (const SlotName& slot : *slots) {
        if (std::find(names.begin(), names.end(), slot.name) != names.end()) {
            return Say(text::kSlotNameTwice, language, {.port = slot.name});
        }
        names.push_back(slot.name);
    }
    options.ports.clear();
    for (const SlotName& slot : *slots) {
        options.ports.push_back(slot.port);
    }
    options.slots = std::move(*slots);
    return std::nullopt;
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

}  // namespace vorlen::fleet
