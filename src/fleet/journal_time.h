// The journal's times ("2026-12-08T14:02:11.250Z", UTC) against the
// operator's: what --since and --until ask for, what the history shows.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "fleet/local_zone.h"

namespace vorlen::fleet {

// The moment of a journal time, to the millisecond; nothing when the text is
// not one.
std::optional<double> JournalSeconds(std::string_view utc);

// A moment as the journal writes it.
std::string JournalText(std::time_t moment);

// The moment of a calendar time in UTC.
std::time_t UtcMoment(const std::tm& calendar);

// --since or --until as the journal's text: "2026-12-08", "2026-12-08 14:30"
// or "2026-12-08T14:30:15", in the zone's time, or in UTC when it ends in
// "Z". A bare date is the day's start, or with `dayEnd` the next day's
// start (so --until 2026-12-08 keeps that whole day). Nothing when the text
// is none of these, or names a time the clocks skipped.
std::optional<std::string> AskedTime(std::string_view asked, const Zone& zone, bool dayEnd);

// A journal time on the zone's wall clock, to the second, with the zone:
// "2026-12-08 15:02:11 CET". The text as it is when it is no journal time.
std::string WallText(std::string_view utc, const Zone& zone);

}  // namespace vorlen::fleet
