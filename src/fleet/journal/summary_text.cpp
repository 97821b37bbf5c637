// The summary as the terminal shows it: short tables, names escaped.
#include <algorithm>
#include <cstdio>

#include "fleet/journal/summary.h"
#include "fleet/journal_time.h"
#include "fleet/printable.h"

namespace vorlen::fleet {
namespace {

std::string Fixed(double value, const char* unit = "") {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f%s", value, unit);
    return text;
}

std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The first column to the left, numbers to the right.
void PrintColumns(const std::vector<std::vector<std::string>>& lines, std::ostream& out) {
    std::vector<std::size_t> widths;
    for (const auto& cells : lines) {
        widths.resize(std::max(widths.size(), cells.size()));
        for (std::size_t i = 0; i < cells.size(); ++i) {
            widths[i] = std::max(widths[i], Characters(cells[i]));
        }
    }
    for (const auto& cells : lines) {
        std::string line;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::string pad(widths[i] - Characters(cells[i]), ' ');
            line += i == 0 ? cells[i] + pad : "  " + pad + cells[i];
        }
        out << line << '\n';
    }
}

void PrintGroups(const char* heading, const std::vector<GroupFigures>& groups, std::ostream& out) {
    std::vector<std::vector<std::string>> lines{
        {heading, "trackers", "passed", "yield", "per hour"}};
    for (const GroupFigures& group : groups) {
        lines.push_back({group.name.empty() ? "(none)" : Printable(group.name),
                         std::to_string(group.trackers), std::to_string(group.passed),
                         Fixed(Yield(group.passed, group.judged), "%"), Fixed(PerHour(group))});
    }
    out << '\n';
    PrintColumns(lines, out);
}

void PrintFailures(const Summary& summary, std::ostream& out) {
    if (summary.failures.empty()) {
        return;
    }
    out << "\nFailures by step, most frequent first:\n";
    for (const StepFailures& failures : summary.failures) {
        out << "  " << failures.count << "  " << failures.step << '\n';
        for (const auto& [text, count] : failures.texts) {
            out << "      " << count << "  " << (text.empty() ? "(no text)" : Printable(text))
                << '\n';
        }
    }
}

void PrintPhases(const Summary& summary, std::ostream& out) {
    std::vector<std::vector<std::string>> lines{{"phase", "median", "95%", "trackers"}};
    for (const PhaseFigures& phase : summary.phases) {
        lines.push_back({phase.phase, Fixed(phase.median, " s"), Fixed(phase.percentile95, " s"),
                         std::to_string(phase.rows)});
    }
    out << '\n';
    PrintColumns(lines, out);
}

void PrintHours(const Summary& summary, std::ostream& out) {
    std::vector<std::vector<std::string>> lines{{"hour", "passed", "failed", "unfinished"}};
    for (std::size_t hour = 0; hour < summary.hours.size(); ++hour) {
        const HourFigures& figures = summary.hours[hour];
        if (figures.passed + figures.failed + figures.unfinished > 0) {
            char name[16];
            std::snprintf(name, sizeof name, "%02zu:00", hour);
            lines.push_back({name, std::to_string(figures.passed), std::to_string(figures.failed),
                             std::to_string(figures.unfinished)});
        }
    }
    out << "\nTrackers by the hour of the day they started:\n";
    PrintColumns(lines, out);
}

}  // namespace

void PrintSummary(const Summary& summary, const Zone& zone, std::ostream& out) {
    out << summary.rows << " rows, started from " << WallText(summary.firstStarted, zone)
        << " to " << WallText(summary.lastStarted, zone) << '\n';
    out << "Results:";
    for (const auto& [result, count] : summary.results) {
        out << (result == summary.results.front().first ? " " : ", ") << result << ' ' << count;
    }
    out << "\nYield: " << summary.passed << " of " << summary.judged << " passed, "
        << Fixed(Yield(summary.passed, summary.judged), "%") << '\n';
    PrintFailures(summary, out);
    PrintGroups("station", summary.stations, out);
    PrintGroups("operator", summary.operators, out);
    PrintGroups("lot", summary.lots, out);
    PrintPhases(summary, out);
    PrintHours(summary, out);
    out.flush();
}

}  // namespace vorlen::fleet
