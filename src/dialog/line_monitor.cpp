#include "dialog/line_monitor.h"

#include <algorithm>
#include <array>
#include <utility>
#include <string>
#include <vector>

#include "model/bilingual.h"
#include "model/line_monitor_texts.h"
#include "profile/private_file.h"
#include "protocol/line_rows.h"

namespace vorlen {
namespace {

std::string Utf8(const Bilingual& text, int language) {
    return std::string(Utf8In(text, language));
}

}  // namespace

LineMonitor::LineMonitor(LineRecord& record, MonitorWindow& window)
    : record_(record), window_(window) {}

void LineMonitor::SetLanguage(int language) {
    language_ = language;
    const std::array<std::pair<int, const Bilingual*>, 4> captions{{
        {kMonitorTitle, &kLineMonitorTitle},
        {kMonitorClear, &kLineMonitorClear},
        {kMonitorCopyAll, &kLineMonitorCopyAll},
        {kMonitorSave, &kLineMonitorSave},
    }};
    for (const auto& [id, caption] : captions) {
        window_.SetText(id, Utf8(*caption, language_));
    }
    window_.SetText(kMonitorSaveResult, "");
}

// One update per poll however many entries came in, and never more rows
// than the window keeps: a flooding tracker costs one bounded update every
// poll.
void LineMonitor::Refresh() {
    const std::vector<LineEntry> shown = NewEntriesToShow(record_, shownUpTo_, kShownRows);
    if (shown.empty()) {
        return;
    }
    std::vector<std::string> rows;
    rows.reserve(shown.size());
    for (const LineEntry& entry : shown) {
        rows.push_back(LineRow(entry));
    }
    window_.AppendRows(rows);
}

void LineMonitor::Press(int buttonId) {
    const std::array<std::pair<int, void (LineMonitor::*)()>, 3> presses{{
        {kMonitorClear, &LineMonitor::Clear},
        {kMonitorCopyAll, &LineMonitor::CopyAll},
        {kMonitorSave, &LineMonitor::Save},
    }};
    for (const auto& [id, press] : presses) {
        if (id == buttonId) {
            (this->*press)();
        }
    }
}

void LineMonitor::Clear() {
    record_.Clear();
    window_.ClearRows();
}

void LineMonitor::CopyAll() {
    window_.CopyText(LineRecordText(record_, language_));
}

// The log holds every password the form sent: it is saved as the profiles
// are, its owner's alone and in one step.
void LineMonitor::Save() {
    std::string caption = Utf8(kLineMonitorSave, language_);
    caption.erase(std::min(caption.find("..."), caption.size()));
    const auto path = window_.AskSavePath(caption, Utf8(kLineMonitorFileFilter, language_));
    if (!path) {
        return;
    }
    const bool saved = SavePrivateFile(*path, LineRecordText(record_, language_));
    window_.ShowSaveResult(Utf8(saved ? kLineMonitorSaved : kLineMonitorNotSaved, language_), *path);
}

}  // namespace vorlen
