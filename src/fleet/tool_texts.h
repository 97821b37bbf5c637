// Every text vorlen-provision prints, in English and Chinese (UTF-8, for the
// terminal). The placeholders in braces are filled in by Say.
#pragma once

#include <string>
#include <string_view>

#include "model/bilingual.h"

namespace vorlen::fleet {

namespace text {
inline constexpr Bilingual kWaking{
    "waiting for the tracker: reset it now (gives up after {detail} s)",
    "等待追踪器: 请重启追踪器({detail}秒后放弃)"};
inline constexpr Bilingual kIdentifying{"reading the IMEI and the configuration",
                                        "正在读取IMEI和配置信息"};
inline constexpr Bilingual kSetting{"set-all, step {count} of {total}",
                                    "设置所有配置, 第{count}步/共{total}步"};
inline constexpr Bilingual kVerifying{"reading the configuration back", "正在读回配置信息"};
inline constexpr Bilingual kReading{"reading the configuration", "正在读取配置信息"};
inline constexpr Bilingual kNotAnImei{"the tracker's IMEI reply is not an IMEI{detail}",
                                      "追踪器回复的IMEI不是IMEI{detail}"};
inline constexpr Bilingual kImeiHeld{
    "IMEI {imei} is also the tracker's in {port} at this moment: a cloned IMEI, nothing written",
    "IMEI {imei}同时也是{port}中追踪器的IMEI: IMEI重复, 没有写入"};

inline constexpr Bilingual kDone{"{port}: done, configured and verified ({detail} s)",
                                 "{port}: 完成, 已设置并核对({detail}秒)"};
inline constexpr Bilingual kStepFailed{"{port}: failed at step {count} of {total}: {detail}",
                                       "{port}: 第{count}步/共{total}步失败: {detail}"};
inline constexpr Bilingual kNotWoken{
    "{port}: failed: the tracker did not answer the wake-up within {detail} s",
    "{port}: 失败: 追踪器在{detail}秒内没有响应唤醒"};
inline constexpr Bilingual kReadBackFailed{"{port}: failed: set-all done, but {detail}",
                                           "{port}: 失败: 已设置所有配置, 但{detail}"};
inline constexpr Bilingual kDiffers{
    "{port}: failed: the tracker acknowledged every setting, but {count} of its values differ:",
    "{port}: 失败: 追踪器确认了所有设置, 但有{count}项数值不同:"};
inline constexpr Bilingual kDifference{"  {key}: sent \"{expected}\", the tracker holds \"{actual}\"",
                                       "  {key}: 发送\"{expected}\", 追踪器保存的是\"{actual}\""};
inline constexpr Bilingual kIdentity{" [IMEI {imei}, {detail}]", " [IMEI {imei}, 软件版本{detail}]"};
inline constexpr Bilingual kUnchanged{
    "{port}: unchanged, the tracker already holds the profile ({detail} s)",
    "{port}: 未改变, 追踪器已保存该配置({detail}秒)"};
inline constexpr Bilingual kNotListed{"{port}: not in the device list, nothing written",
                                      "{port}: 不在设备列表中, 没有写入"};
inline constexpr Bilingual kNotIdentified{"{port}: failed before any setting: {detail}",
                                          "{port}: 设置之前失败: {detail}"};
inline constexpr Bilingual kCheckDiffers{"{port}: {count} of its values differ from the profile:",
                                         "{port}: 有{count}项数值与配置文件不同:"};
inline constexpr Bilingual kCheckDifference{
    "  {key}: the profile has \"{expected}\", the tracker holds \"{actual}\"",
    "  {key}: 配置文件为\"{expected}\", 追踪器保存的是\"{actual}\""};
inline constexpr Bilingual kCheckSummary{"{count} of {total} trackers hold the profile.",
                                         "{total}个追踪器中{count}个保存着该配置。"};
// The closing line: how many passed, then how: written or found as they were.
inline constexpr Bilingual kSummary{"{count} of {total} trackers pass: {detail}.",
                                    "{total}个追踪器中{count}个通过: {detail}。"};
inline constexpr Bilingual kSummaryConfigured{"{count} configured and verified",
                                              "{count}个已设置并核对"};
inline constexpr Bilingual kSummaryUnchanged{"{count} already held the profile (nothing written)",
                                             "{count}个已保存该配置(没有写入)"};

inline constexpr Bilingual kSaved{"{port}: configuration saved to {detail}",
                                  "{port}: 配置信息已保存到{detail}"};
inline constexpr Bilingual kReadFailed{"{port}: failed: {detail}", "{port}: 失败: {detail}"};
inline constexpr Bilingual kSavedButUnfit{
    "Note: {detail} The window and vorlen-provision refuse the file until it is corrected.",
    "注意: {detail} 修改之前, 窗口和vorlen-provision都不接受这个文件。"};

// The fleet station: what a slot is doing, and why a tracker's run was cut.
inline constexpr Bilingual kSlotWaitingForPort{"waiting for the port", "等待串口"};
inline constexpr Bilingual kSlotPortRefused{"waiting for the port: {detail}",
                                            "等待串口: {detail}"};
inline constexpr Bilingual kSlotWaitingForTracker{"waiting for a tracker: plug one in or reset it",
                                                  "等待追踪器: 请插入或重启追踪器"};
inline constexpr Bilingual kSlotFinished{"waiting for the next tracker", "等待下一个追踪器"};
inline constexpr Bilingual kSlotStopped{"stopped", "已停止"};
inline constexpr Bilingual kSlotCountReached{
    "the station has started its trackers: this slot takes no more",
    "工位已开始设置规定数量的追踪器: 此插槽不再接收"};
inline constexpr Bilingual kStationStopped{"the station was stopped", "工位已停止"};
inline constexpr Bilingual kPortWentAway{"the port went away", "串口已断开"};
inline constexpr Bilingual kSlotLast{" | last: {detail}", " | 上一个: {detail}"};
// The station's counters, one line: see CountersLine (line_counters.h).
inline constexpr Bilingual kStationDone{"done {count}", "完成{count}个"};
inline constexpr Bilingual kStationUnchanged{"unchanged {count}", "未改变{count}个"};
inline constexpr Bilingual kStationFailed{"failed {count}", "失败{count}个"};
inline constexpr Bilingual kStationYield{"yield {count}%", "合格率{count}%"};
inline constexpr Bilingual kStationPerHour{"{count} trackers per hour", "每小时{count}个追踪器"};
inline constexpr Bilingual kStationHint{
    "Ctrl-C stops the station after each slot's current command.",
    "按Ctrl-C, 每个插槽完成当前命令后工位停止。"};

inline constexpr Bilingual kNoPorts{"No serial port found.", "没有找到串口。"};
inline constexpr Bilingual kPortsFailed{"Cannot list the serial ports: {detail}",
                                        "无法列出串口: {detail}"};

inline constexpr Bilingual kBadArguments{"vorlen-provision: {detail} (see --help)",
                                         "vorlen-provision: 参数错误: {detail} (见--help)"};
inline constexpr Bilingual kNothingToDo{
    "give --profile FILE with --port PORT, --read PORT with --out FILE, or --list-ports",
    "请给出--profile FILE和--port PORT, 或--read PORT和--out FILE, 或--list-ports"};
inline constexpr Bilingual kPortTwice{"the port {port} is given twice", "串口{port}重复给出"};
inline constexpr Bilingual kSlotHalfNamed{"--port {port}: give NAME=PORT with both, or PORT alone",
                                         "--port {port}: 请同时给出NAME=PORT的名称和串口, 或只给出PORT"};
inline constexpr Bilingual kSlotNameTwice{"the slot name {port} is given twice",
                                          "插槽名称{port}重复给出"};
inline constexpr Bilingual kNoFolder{"the folder of {detail} does not exist",
                                     "{detail}所在的文件夹不存在"};
inline constexpr Bilingual kBadProfile{"{port}: {detail}", "{port}: {detail}"};
inline constexpr Bilingual kRefusedProfile{"Set ALL refuses this profile: {detail}",
                                           "设置所有配置不接受这个配置文件: {detail}"};
inline constexpr Bilingual kEmptyChoice{
    "Line {count}: \"{key}\" is empty, but Set ALL sends it: name one of {detail}.",
    "第{count}行: \"{key}\"为空, 但设置所有配置要发送它: 请选择{detail}之一。"};
inline constexpr Bilingual kSetAllRefuses{"Line {count}: \"{key}\": Set ALL refuses it: {detail}",
                                          "第{count}行: \"{key}\": 设置所有配置不接受: {detail}"};
inline constexpr Bilingual kNotVerifiable{
    "Line {count}: \"{key}\" is longer than {total} bytes, the most the tracker's read-back "
    "shows, so it could not be verified.",
    "第{count}行: \"{key}\"超过{total}个字节, 追踪器读回时最多只显示这么多, 无法核对。"};
inline constexpr Bilingual kEmptyChoiceInRow{
    "empty, but Set ALL sends it: name one of {detail}.",
    "为空, 但设置所有配置要发送它: 请选择{detail}之一。"};
inline constexpr Bilingual kSetAllRefusesInRow{"Set ALL refuses it: {detail}",
                                               "设置所有配置不接受: {detail}"};
inline constexpr Bilingual kNotVerifiableInRow{
    "longer than {total} bytes, the most the tracker's read-back shows, so it could not be "
    "verified.",
    "超过{total}个字节, 追踪器读回时最多只显示这么多, 无法核对。"};
inline constexpr Bilingual kOpenFailed{
    "Cannot open the port {port}; nothing was sent to any tracker.",
    "无法打开串口{port}; 没有向任何追踪器发送数据。"};
inline constexpr Bilingual kTraceOf{"Line of {port}:", "{port}的线路:"};
inline constexpr Bilingual kJournalFailed{"Cannot keep the journal {port}: {detail}",
                                          "无法记录日志{port}: {detail}"};
inline constexpr Bilingual kNoJournalHere{"this build of vorlen-provision keeps no journal",
                                          "此版本的vorlen-provision不记录日志"};
inline constexpr Bilingual kBadDeviceRow{"{port}, row {count}, column {key}: {detail}",
                                         "{port}, 第{count}行, 列{key}: {detail}"};
inline constexpr Bilingual kBadDeviceList{"{port}: {detail}", "{port}: {detail}"};
inline constexpr Bilingual kNoHistory{"The journal holds no row.", "日志中没有记录。"};
inline constexpr Bilingual kNoMatchingRow{"No row of the journal matches.",
                                          "日志中没有符合条件的记录。"};
inline constexpr Bilingual kMoreRows{
    "{count} more rows match, not shown: --limit N shows more, --csv every one.",
    "还有{count}条符合条件的记录未显示: --limit N显示更多, --csv显示全部。"};
inline constexpr Bilingual kBadTime{
    "{key} {detail}: a date (YYYY-MM-DD) or a date and time (YYYY-MM-DD HH:MM[:SS]) is "
    "needed, ending in Z for UTC, one that the clocks show",
    "{key} {detail}: 需要日期(YYYY-MM-DD)或日期和时间(YYYY-MM-DD HH:MM[:SS]), UTC时以Z结尾, "
    "且须是时钟上存在的时间"};
inline constexpr Bilingual kNeedsReading{"{key} needs --history or --summary",
                                         "{key}需要--history或--summary"};
inline constexpr Bilingual kProfileNeedsPort{"--profile requires --port",
                                             "--profile需要--port"};
inline constexpr Bilingual kReportFailed{"Cannot write the report {detail}.",
                                         "无法写入报告{detail}。"};
// Numbered values.
inline constexpr Bilingual kTwoNumbers{
    "\"{detail}\" holds two numbers; a value takes one {n} or {n:0W}",
    "\"{detail}\"含有两个编号; 一个值只能有一个{n}或{n:0W}"};
inline constexpr Bilingual kBadNumber{
    "\"{detail}\" holds a malformed number; write {n}, or {n:0W} for W digits with zeros in "
    "front (W from 1 to 9, such as {n:04})",
    "\"{detail}\"中的编号格式错误; 请写{n}, 或写{n:0W}表示补零到W位(W为1到9, 例如{n:04})"};
inline constexpr Bilingual kNumbersNeedJournal{
    "numbered values ({detail}) are drawn from the journal, and --no-journal keeps none: "
    "nothing was sent to any tracker",
    "编号值({detail})要从日志中分配, 而--no-journal不使用日志: 没有向任何追踪器发送数据"};
inline constexpr Bilingual kNumberingRefused{"Line {count}: \"{key}\": {detail}",
                                            "第{count}行: \"{key}\": {detail}"};
inline constexpr Bilingual kNumberingRefusedInRow{"{detail}", "{detail}"};
inline constexpr Bilingual kNoNumber{"no number of {key} could be drawn: {detail}",
                                     "无法分配{key}的编号: {detail}"};
inline constexpr Bilingual kNumberRefused{
    "{key} with its number, \"{actual}\", is refused: {detail}",
    "{key}加上编号后为\"{actual}\", 被拒绝: {detail}"};
}  // namespace text

struct Fill {
    std::string_view port = {};
    std::string_view detail = {};
    int count = 0;
    int total = 0;
    std::string_view key = {};
    std::string_view expected = {};
    std::string_view actual = {};
    std::string_view imei = {};
};

// The text in the language (0 Chinese, anything else English), filled in.
std::string Say(const Bilingual& text, int language, const Fill& fill = {});

}  // namespace vorlen::fleet
