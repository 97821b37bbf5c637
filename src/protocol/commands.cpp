#include "protocol/commands.h"

#include <array>
#include <stdexcept>

#include "model/field_text.h"
#include "model/find_row.h"

namespace vorlen {
namespace {

using F = TrackerForm;

// Commands whose arguments are record texts sent as the controls hold them.
struct TextCommand {
    CommandType type;
    std::string_view format;
    std::array<std::string F::*, 3> texts;
};

constexpr std::array<TextCommand, 15> kTextCommands{{
    {CommandType::SetUserNumber1, "AT+OPENAT=711,1,%s;\r\n", {&F::userNumber1}},
    {CommandType::SetUserNumber2, "AT+OPENAT=711,2,%s;\r\n", {&F::userNumber2}},
    {CommandType::SetUserNumber3, "AT+OPENAT=711,3,%s;\r\n", {&F::userNumber3}},
    {CommandType::SetUserNumber4, "AT+OPENAT=711,4,%s;\r\n", {&F::userNumber4}},
    {CommandType::SetUserNumber5, "AT+OPENAT=711,5,%s;\r\n", {&F::userNumber5}},
    {CommandType::SetUserNumber6, "AT+OPENAT=711,6,%s;\r\n", {&F::userNumber6}},
    {CommandType::SetUserNumber7, "AT+OPENAT=711,7,%s;\r\n", {&F::userNumber7}},
    {CommandType::SetUserNumber8, "AT+OPENAT=711,8,%s;\r\n", {&F::userNumber8}},
    {CommandType::SetUserNumber9, "AT+OPENAT=711,9,%s;\r\n", {&F::userNumber9}},
    {CommandType::SetCenterNumber, "AT+OPENAT=710,%s;\r\n", {&F::centerNumber}},
    {CommandType::SetUserPassword, "AT+OPENAT=770,%s;\r\n", {&F::userPassword}},
    {CommandType::SetUserId, "AT+OPENAT=801,%s;\r\n", {&F::userId}},
    {CommandType::SetApn, "AT+OPENAT=802,%s,%s,%s;\r\n", {&F::apn, &F::apnUser, &F::apnPassword}},
    {CommandType::SetIpAndPort, "AT+OPENAT=803,%s,%s;\r\n", {&F::serverIp, &F::serverPort}},
    {CommandType::WriteImei, "AT+EGMR=1,7,\"%s\"\r\n", {&F::imei}},
}};

// Commands with one selected index as their argument.
struct SelectionCommand {
    CommandType type;
    std::string_view format;
    int Selections::*selection;
};

constexpr std::array<SelectionCommand, 3> kSelectionCommands{{
    {CommandType::SetSystemMode, "AT+OPENAT=70,%d;\r\n", &Selections::workingMode},
    {CommandType::SetWarningType, "AT+OPENAT=720,%d;\r\n", &Selections::warningType},
    {CommandType::SetBaseStationNumber, "AT+OPENAT=780,%d;\r\n", &Selections::baseStationCount},
}};

// Commands without arguments.
struct FixedCommand {
    CommandType type;
    std::string_view text;
};

constexpr std::array<FixedCommand, 4> kFixedCommands{{
    {CommandType::ResetConfig, "AT+OPENAT=999,;\r\n"},
    {CommandType::OpenGps, "AT+OPENAT=221,;\r\n"},
    {CommandType::CloseGps, "AT+OPENAT=231,;\r\n"},
    {CommandType::ReadImei, "AT+EGMR=0,7\r\n"},
}};

std::string TextCommandOf(const TextCommand& command, const TrackerForm& form) {
    std::array<std::string_view, 3> args{};
    std::size_t count = 0;
    for (std::string F::*text : command.texts) {
        if (text != nullptr) {
            args[count++] = form.*text;
        }
    }
    switch (count) {
        case 1:
            return FormatCommand(command.format, {args[0]});
        case 2:
            return FormatCommand(command.format, {args[0], args[1]});
        default:
            return FormatCommand(command.format, {args[0], args[1], args[2]});
    }
}

}  // namespace

std::string FormatCommand(std::string_view format, std::initializer_list<CommandArg> args) {
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const bool placeholder = format[i] == '%' && i + 1 < format.size() &&
                                 (format[i + 1] == 's' || format[i + 1] == 'd');
        if (!placeholder) {
            out += format[i];
            continue;
        }
        if (next == args.end()) {
            throw std::invalid_argument("command format has more placeholders than arguments");
        }
        if (const auto* text = std::get_if<std::string_view>(&*next)) {
            out += *text;
        } else {
            out += std::to_string(std::get<int>(*next));
        }
        ++next;
        ++i;
    }
    return out;
}

std::string IntervalCommand(int interval, int uploadCount) {
    return FormatCommand("AT+OPENAT=730,%d,%d;\r\n", {interval, uploadCount});
}

std::optional<std::string> FenceCommand(TrackerForm& form, const Selections& selections) {
    if (form.fenceEnabled == 0) {
        return "AT+OPENAT=760,;\r\n";
    }
    if (selections.fenceType == kCircleFence) {
        Trim(form.fenceRadius);
        Trim(form.fenceInterval);
        return FormatCommand("AT+OPENAT=750,%s,%s;\r\n", {form.fenceRadius, form.fenceInterval});
    }
    if (selections.fenceType == kCustomFence) {
        Trim(form.fenceRadius);
        Trim(form.fenceInterval);
        Trim(form.latitude);
        Trim(form.longitude);
        const std::string_view latitudeLetter = selections.northSouth == 0 ? "N" : "S";
        const std::string_view longitudeLetter = selections.eastWest == 0 ? "E" : "W";
        return FormatCommand("AT+OPENAT=751,%s,%s,%s,%s,%s,%s;\r\n",
                             {form.fenceRadius, form.fenceInterval, form.longitude,
                              longitudeLetter, form.latitude, latitudeLetter});
    }
    return std::nullopt;
}

std::optional<std::string> BuildCommand(CommandType type, TrackerForm& form,
                                        const Selections& selections) {
    if (const auto* command = FindRow<TextCommand>(kTextCommands, &TextCommand::type, type)) {
        return TextCommandOf(*command, form);
    }
    if (const auto* command =
            FindRow<SelectionCommand>(kSelectionCommands, &SelectionCommand::type, type)) {
        return FormatCommand(command->format, {selections.*command->selection});
    }
    if (const auto* command = FindRow<FixedCommand>(kFixedCommands, &FixedCommand::type, type)) {
        return std::string(command->text);
    }
    if (type == CommandType::SetIntervalAndUpload) {
        Trim(form.intervalTime);
        Trim(form.uploadCount);
        // Only the two GPRS-connect modes upload more than one record a time.
        const bool sendsCount = selections.workingMode == kModeCustomGprs ||
                                selections.workingMode == kModeLongGprs;
        return IntervalCommand(IntegerValue(form.intervalTime),
                               sendsCount ? IntegerValue(form.uploadCount) : 1);
    }
    if (type == CommandType::SetElectricFence) {
        return FenceCommand(form, selections);
    }
    throw std::invalid_argument("command type has no command text");
}

std::string ExtractImei(std::string_view reply) {
    const std::size_t firstQuote = reply.find('"');
    const std::size_t start = firstQuote == std::string_view::npos ? 0 : firstQuote + 1;
    const std::size_t end = reply.find('"', start);
    if (end == std::string_view::npos || end <= start) {
        return {};
    }
    return std::string(reply.substr(start, std::min(end - start, kImeiMaxLength)));
}

}  // namespace vorlen
