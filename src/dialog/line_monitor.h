// The line monitor's behaviour, the same in every window: which rows to add
// at each poll, the captions in the form's language, and what Clear, Copy
// All and Save do with the line record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dialog/monitor_window.h"
#include "model/bilingual.h"
#include "protocol/line_record.h"

namespace vorlen {

class LineMonitor {
public:
    // The window polls this often while it is shown.
    static constexpr int kRefreshMs = 100;
    // The window keeps as many rows as the record does, the newest ones.
    static constexpr std::size_t kShownRows = LineRecord::kEntries;

    // `record` and `window` must outlive the monitor. It speaks English
    // until told otherwise.
    LineMonitor(LineRecord& record, MonitorWindow& window);

    // Captions in the language (as the form's language list: 0 Chinese,
    // anything else English); the last save's outcome goes.
    void SetLanguage(int language);

    // A poll: adds the rows that came in since the last one.
    void Refresh();

    // A press of the button of that id; other ids do nothing.
    void Press(int buttonId);

private:
    void Clear();
    void CopyAll();
    void Save();

    LineRecord& record_;
    MonitorWindow& window_;
    int language_ = kEnglish;
    std::uint64_t shownUpTo_ = 0;  // the sequence of the newest row shown
};

}  // namespace vorlen
