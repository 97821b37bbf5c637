#include "fleet/outcome_lines.h"

#include <cstdio>

#include "model/gbk.h"
#include "protocol/line_rows.h"
#include "fleet/journal_texts.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

std::string OneDecimal(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

std::string FirstLine(const Outcome& outcome, const RunSettings& settings);

// A tracker the journal does not hold is never called done: the line says
// what was done and that it is not on record, with the journal's reason.
std::string RecordedLine(const Outcome& outcome, const RunSettings& settings) {
    if (outcome.notRecorded.empty()) {
        return FirstLine(outcome, settings);
    }
    const Fill why{.port = outcome.port, .detail = outcome.notRecorded};
    if (outcome.result == Result::Done) {
        return Say(text::kDoneNotRecorded, settings.language, why);
    }
    if (outcome.result == Result::Unchanged) {
        return Say(text::kUnchangedNotRecorded, settings.language, why);
    }
    return FirstLine(outcome, settings) + Say(text::kAlsoNotRecorded, settings.language, why);
}

std::string FirstLine(const Outcome& outcome, const RunSettings& settings) {
    const int language = settings.language;
    const std::string total = OneDecimal(outcome.timings.totalSeconds);
    switch (outcome.result) {
        case Result::Done:
            return Say(text::kDone, language, {.port = outcome.port, .detail = total});
        case Result::Unchanged:
            return Say(text::kUnchanged, language, {.port = outcome.port, .detail = total});
        case Result::NotListed:
            return Say(text::kNotListed, language, {.port = outcome.port});
        case Result::NotWoken:
            return Say(text::kNotWoken, language,
                       {.port = outcome.port, .detail = WakeSeconds(settings)});
        case Result::StepFailed:
            return Say(text::kStepFailed, language,
                       {.port = outcome.port, .detail = outcome.failure,
                        .count = outcome.failedStep, .total = kSetAllSteps});
        case Result::ReadBackFailed:
            return Say(outcome.written ? text::kReadBackFailed : text::kNotIdentified, language,
                       {.port = outcome.port, .detail = outcome.failure});
        case Result::Differs:
            break;
    }
    const bool written = outcome.written;
    return Say(written ? text::kDiffers : text::kCheckDiffers, language,
               {.port = outcome.port, .count = static_cast<int>(outcome.differences.size())});
}

// A text the tracker sent, kept as UTF-8, escaped as the line monitor's rows
// escape it.
std::string Escaped(const std::string& utf8) {
    return EscapedText(Utf8ToGbk(utf8).value_or(utf8));
}

// Which tracker it was, once it has said so, in the tracker's own words:
// its control characters must not reach the terminal.
std::string Identity(const Outcome& outcome, int language) {
    if (outcome.imei.empty()) {
        return {};
    }
    return Say(text::kIdentity, language,
               {.detail = Escaped(outcome.softwareVersion), .imei = Escaped(outcome.imei)});
}

}  // namespace

std::vector<std::string> OutcomeLines(const Outcome& outcome, const RunSettings& settings) {
    std::vector<std::string> lines{RecordedLine(outcome, settings) +
                                   Identity(outcome, settings.language)};
    for (const Difference& difference : outcome.differences) {
        lines.push_back(Say(outcome.written ? text::kDifference : text::kCheckDifference,
                            settings.language,
                            {.key = difference.key, .expected = difference.expected,
                             .actual = difference.actual}));
    }
    return lines;
}

namespace {

std::string WithoutPort(const std::string& line, const Outcome& outcome) {
    const std::string prefix = outcome.port + ": ";
    return line.starts_with(prefix) ? line.substr(prefix.size()) : line;
}

}  // namespace

std::string FinishedLine(const Outcome& outcome, const RunSettings& settings) {
    return WithoutPort(OutcomeLines(outcome, settings).front(), outcome);
}

std::string OutcomeOnlyLine(const Outcome& outcome, const RunSettings& settings) {
    return WithoutPort(RecordedLine(outcome, settings), outcome);
}

}  // namespace vorlen::fleet
