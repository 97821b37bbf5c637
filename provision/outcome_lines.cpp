#include "provision/outcome_lines.h"

#include <cstdio>

#include "provision/tool_texts.h"

namespace vorlen::provision {
namespace {

std::string OneDecimal(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

std::string FirstLine(const Outcome& outcome, const RunSettings& settings) {
    const int language = settings.language;
    switch (outcome.result) {
        case Result::Done:
            return Say(text::kDone, language,
                       {.port = outcome.port, .detail = OneDecimal(outcome.timings.totalSeconds)});
        case Result::NotWoken:
            return Say(text::kNotWoken, language,
                       {.port = outcome.port, .detail = WakeSeconds(settings)});
        case Result::StepFailed:
            return Say(text::kStepFailed, language,
                       {.port = outcome.port, .detail = outcome.failure,
                        .count = outcome.failedStep, .total = kSetAllSteps});
        case Result::ReadBackFailed:
            return Say(text::kReadBackFailed, language,
                       {.port = outcome.port, .detail = outcome.failure});
        case Result::Differs:
            break;
    }
    return Say(text::kDiffers, language,
               {.port = outcome.port, .count = static_cast<int>(outcome.differences.size())});
}

}  // namespace

std::vector<std::string> OutcomeLines(const Outcome& outcome, const RunSettings& settings) {
    std::vector<std::string> lines{FirstLine(outcome, settings)};
    for (const Difference& difference : outcome.differences) {
        lines.push_back(Say(text::kDifference, settings.language,
                            {.key = difference.key, .expected = difference.expected,
                             .actual = difference.actual}));
    }
    return lines;
}

}  // namespace vorlen::provision
