#include "fleet/journal_line.h"

#include "fleet/journal_texts.h"
#include "fleet/printable.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {

std::string JournalLine(const JournalHealth& health, int language) {
    const std::string why = Printable(health.fault);
    if (!health.taking) {
        return Say(text::kJournalStopped, language, {.detail = why});
    }
    if (health.waiting > 0) {
        return Say(text::kJournalWaiting, language, {.detail = why, .count = health.waiting});
    }
    return {};
}

}  // namespace vorlen::fleet
