// The command bytes of every single tracker command.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "model/tracker_form.h"
#include "protocol/command_type.h"
#include "model/selections.h"

namespace vorlen {

// printf-style: each %s takes the next text unchanged (no quoting, no
// escaping), each %d the next number in signed decimal.
using CommandArg = std::variant<std::string_view, int>;
std::string FormatCommand(std::string_view format, std::initializer_list<CommandArg> args);

// The command of types 0 to 23 built from the record and the selections.
// Types 12 and 13 trim the fields they read on the record itself. Returns
// nothing for the fence with the fence on and no fence type selected: no
// fence command exists for that state. Types 24 and 25 are sequences with no
// command text of their own and throw std::invalid_argument.
std::optional<std::string> BuildCommand(CommandType type, TrackerForm& form,
                                        const Selections& selections);

// The interval command with both numbers given.
std::string IntervalCommand(int interval, int uploadCount);

// The fence command: off, circle or custom by the check box and fence type;
// trims the fence fields it reads. Nothing when the fence is on and no fence
// type is selected.
std::optional<std::string> FenceCommand(TrackerForm& form, const Selections& selections);

// IMEI holds at most this many characters; a longer quoted text is cut.
inline constexpr std::size_t kImeiMaxLength = 19;

// The IMEI between the first two double quotes of a reply. With no double
// quote at all it runs from the reply's start to the first quote (none: an
// empty IMEI); adjacent quotes or a single one give an empty IMEI.
std::string ExtractImei(std::string_view reply);

}  // namespace vorlen
