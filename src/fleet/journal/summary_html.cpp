// The summary as one HTML file a supervisor opens in any browser or prints
// on A4: its charts are inline SVG drawn here, its fonts the reader's own;
// there is no script and nothing is fetched.
#include <algorithm>
#include <cstdio>

#include "fleet/journal/summary.h"
#include "fleet/journal_time.h"

namespace vorlen::fleet {
namespace {

constexpr const char* kStyle = R"(
@page { size: A4; margin: 15mm; }
body { font-family: sans-serif; font-size: 10pt; color: #222; max-width: 180mm; margin: 0 auto; }
h1 { font-size: 15pt; margin-bottom: 2pt; }
h2 { font-size: 12pt; margin: 14pt 0 4pt; break-after: avoid; }
table { border-collapse: collapse; margin: 4pt 0; }
th, td { padding: 2pt 8pt; border-bottom: 1px solid #ccc; text-align: right; }
th:first-child, td:first-child { text-align: left; }
svg { display: block; width: 100%; height: auto; break-inside: avoid; }
svg text { font-family: sans-serif; font-size: 10px; fill: #222; }
.passed { fill: #2e7d32; } .failed { fill: #c62828; } .unfinished { fill: #9e9e9e; }
.bar { fill: #1565c0; } .axis { stroke: #888; stroke-width: 1; }
.legend span { display: inline-block; width: 9pt; height: 9pt; margin: 0 3pt 0 10pt; }
)";

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string Number(double value, const char* format = "%.1f") {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Twenty-four hours side by side, each a stack: passed, failed, unfinished.
void OutcomesPerHour(const Summary& summary, std::ostream& out) {
    long long most = 1;
    for (const HourFigures& hour : summary.hours) {
        most = std::max(most, hour.passed + hour.failed + hour.unfinished);
    }
    constexpr double kWidth = 680, kHeight = 200, kLeft = 40, kBottom = 180, kSlot = 26;
    out << "<svg id=\"outcomes-per-hour\" viewBox=\"0 0 " << kWidth << ' ' << kHeight
        << "\" role=\"img\" aria-label=\"outcomes per hour\">\n"
        << "<line class=\"axis\" x1=\"" << kLeft << "\" y1=\"" << kBottom << "\" x2=\"" << kWidth
        << "\" y2=\"" << kBottom << "\"/>\n"
        << "<text x=\"0\" y=\"16\">" << most << "</text><text x=\"0\" y=\"" << kBottom
        << "\">0</text>\n";
    const double scale = (kBottom - 10) / static_cast<double>(most);
    for (std::size_t hour = 0; hour < summary.hours.size(); ++hour) {
        const double x = kLeft + static_cast<double>(hour) * kSlot + 3;
        out << "<text x=\"" << x + 2 << "\" y=\"" << kBottom + 14 << "\">" << Number(hour, "%02.0f")
            << "</text>\n";
        const HourFigures& figures = summary.hours[hour];
        if (figures.passed + figures.failed + figures.unfinished == 0) {
            continue;
        }
        out << "<g class=\"hour\">";
        double top = kBottom;
        for (const auto& [name, count] : {std::pair{"passed", figures.passed},
                                          std::pair{"failed", figures.failed},
                                          std::pair{"unfinished", figures.unfinished}}) {
            if (count == 0) {
                continue;
            }
            const double height = static_cast<double>(count) * scale;
            top -= height;
            out << "<rect class=\"" << name << "\" x=\"" << x << "\" y=\"" << Number(top)
                << "\" width=\"" << kSlot - 6 << "\" height=\"" << Number(height) << "\"><title>"
                << Number(hour, "%02.0f") << ":00 " << name << ' ' << count << "</title></rect>";
        }
        out << "</g>\n";
    }
    out << "</svg>\n<p class=\"legend\"><span class=\"passed\" style=\"background:#2e7d32\">"
           "</span>passed<span style=\"background:#c62828\"></span>failed"
           "<span style=\"background:#9e9e9e\"></span>unfinished</p>\n";
}

// One horizontal bar per name, its length the value against `full`.
void Bars(const char* id, const std::vector<std::pair<std::string, double>>& bars, double full,
          const char* format, std::ostream& out) {
    constexpr double kWidth = 680, kRow = 22, kLeft = 200, kRight = 60;
    out << "<svg id=\"" << id << "\" viewBox=\"0 0 " << kWidth << ' '
        << kRow * static_cast<double>(std::max<std::size_t>(bars.size(), 1)) + 4
        << "\" role=\"img\">\n";
    double y = 2;
    for (const auto& [name, value] : bars) {
        const double length = full > 0 ? (kWidth - kLeft - kRight) * value / full : 0;
        out << "<text x=\"0\" y=\"" << y + 14 << "\">" << Escaped(name) << "</text>"
            << "<rect class=\"bar\" x=\"" << kLeft << "\" y=\"" << y << "\" width=\""
            << Number(length) << "\" height=\"" << kRow - 6 << "\"/>"
            << "<text x=\"" << kLeft + length + 4 << "\" y=\"" << y + 14 << "\">"
            << Number(value, format) << "</text>\n";
        y += kRow;
    }
    out << "</svg>\n";
}

void GroupTable(const char* heading, const std::vector<GroupFigures>& groups, std::ostream& out) {
    out << "<table><tr><th>" << heading
        << "</th><th>trackers</th><th>passed</th><th>yield</th><th>per hour</th></tr>\n";
    for (const GroupFigures& group : groups) {
        out << "<tr><td>" << (group.name.empty() ? "(none)" : Escaped(group.name)) << "</td><td>"
            << group.trackers << "</td><td>" << group.passed << "</td><td>"
            << Number(Yield(group.passed, group.judged), "%.1f%%") << "</td><td>"
            << Number(PerHour(group)) << "</td></tr>\n";
    }
    out << "</table>\n";
}

void FailureTable(const Summary& summary, std::ostream& out) {
    out << "<table><tr><th>step</th><th>failure</th><th>trackers</th></tr>\n";
    for (const StepFailures& failures : summary.failures) {
        for (const auto& [text, count] : failures.texts) {
            out << "<tr><td>" << Escaped(failures.step) << "</td><td style=\"text-align:left\">"
                << (text.empty() ? "(no text)" : Escaped(text)) << "</td><td>" << count
                << "</td></tr>\n";
        }
    }
    out << "</table>\n";
}

void PhaseTable(const Summary& summary, std::ostream& out) {
    out << "<table><tr><th>phase</th><th>median</th><th>95%</th><th>trackers</th></tr>\n";
    for (const PhaseFigures& phase : summary.phases) {
        out << "<tr><td>" << phase.phase << "</td><td>" << Number(phase.median, "%.1f s")
            << "</td><td>" << Number(phase.percentile95, "%.1f s") << "</td><td>" << phase.rows
            << "</td></tr>\n";
    }
    out << "</table>\n";
}

}  // namespace

void WriteSummaryHtml(const Summary& summary, const Zone& zone, const std::string& title,
                      std::ostream& out) {
    out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>" << Escaped(title)
        << "</title>\n<style>" << kStyle << "</style></head>\n<body>\n<h1>" << Escaped(title)
        << "</h1>\n<p>" << summary.rows << " trackers";
    if (summary.rows > 0) {
        out << " started from " << Escaped(WallText(summary.firstStarted, zone)) << " to "
            << Escaped(WallText(summary.lastStarted, zone));
    }
    out << ". Yield: " << summary.passed
        << " of " << summary.judged << " passed, "
        << Number(Yield(summary.passed, summary.judged), "%.1f%%") << ".</p>\n<p>";
    for (const auto& [result, count] : summary.results) {
        out << Escaped(result) << ' ' << count
            << (result == summary.results.back().first ? "" : ", ");
    }
    out << "</p>\n<h2>Outcomes per hour of the day</h2>\n";
    OutcomesPerHour(summary, out);
    out << "<h2>Failures by step</h2>\n";
    std::vector<std::pair<std::string, double>> failures;
    double most = 0;
    for (const StepFailures& step : summary.failures) {
        failures.emplace_back(step.step, static_cast<double>(step.count));
        most = std::max(most, static_cast<double>(step.count));
    }
    Bars("failures-by-step", failures, most, "%.0f", out);
    FailureTable(summary, out);
    out << "<h2>Yield per station</h2>\n";
    std::vector<std::pair<std::string, double>> yields;
    for (const GroupFigures& station : summary.stations) {
        yields.emplace_back(station.name.empty() ? "(none)" : station.name,
                            Yield(station.passed, station.judged));
    }
    Bars("yield-per-station", yields, 100, "%.1f%%", out);
    out << "<h2>Stations</h2>\n";
    GroupTable("station", summary.stations, out);
    out << "<h2>Operators</h2>\n";
    GroupTable("operator", summary.operators, out);
    out << "<h2>Lots</h2>\n";
    GroupTable("lot", summary.lots, out);
    out << "<h2>Phases</h2>\n";
    PhaseTable(summary, out);
    out << "</body></html>\n";
    out.flush();
}

}  // namespace vorlen::fleet
