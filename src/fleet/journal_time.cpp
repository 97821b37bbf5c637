#include "fleet/journal_time.h"

#include <cmath>
#include <cstdio>

namespace vorlen::fleet {
namespace {

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar
// (Howard Hinnant's days_from_civil), so that no C library's timegm is needed.
long long DaysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

std::tm CivilFromSeconds(long long seconds) {
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    const unsigned month = shifted < 10 ? shifted + 3 : shifted - 9;
    std::tm calendar{};
    calendar.tm_year = static_cast<int>(yearOfEra + era * 400 + (month <= 2) - 1900);
    calendar.tm_mon = static_cast<int>(month) - 1;
    calendar.tm_mday = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    calendar.tm_hour = static_cast<int>(rest / 3600);
    calendar.tm_min = static_cast<int>(rest / 60 % 60);
    calendar.tm_sec = static_cast<int>(rest % 60);
    calendar.tm_wday = static_cast<int>((days - 719468 + 4) % 7 + 7) % 7;
    return calendar;
}

class Utc : public Zone {
public:
    WallTime Wall(std::time_t moment) const override { return {CivilFromSeconds(moment), "UTC"}; }
    std::optional<std::time_t> Moment(const std::tm& calendar) const override {
        return UtcMoment(calendar);
    }
};

class Machine : public Zone {
public:
    WallTime Wall(std::time_t moment) const override { return MachineWall(moment); }
    std::optional<std::time_t> Moment(const std::tm& calendar) const override {
        std::tm asked = calendar;
        asked.tm_isdst = -1;
        const std::time_t moment = std::mktime(&asked);
        // mktime moves a skipped time on by the hour the clock jumped.
        const bool same = asked.tm_hour == calendar.tm_hour && asked.tm_min == calendar.tm_min &&
                          asked.tm_mday == calendar.tm_mday;
        return moment == -1 || !same ? std::nullopt : std::optional(moment);
    }
};

bool ValidCalendar(const std::tm& calendar) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return calendar.tm_mon >= 0 && calendar.tm_mon < 12 && calendar.tm_mday >= 1 &&
           calendar.tm_mday <= kDays[calendar.tm_mon] && calendar.tm_hour >= 0 &&
           calendar.tm_hour < 24 && calendar.tm_min >= 0 && calendar.tm_min < 60 &&
           calendar.tm_sec >= 0 && calendar.tm_sec < 60 &&
           UtcMoment(calendar) == UtcMoment(CivilFromSeconds(UtcMoment(calendar)));
}

}  // namespace

const Zone& UtcZone() {
    static const Utc zone;
    return zone;
}

const Zone& MachineZone() {
    static const Machine zone;
    return zone;
}

std::time_t UtcMoment(const std::tm& calendar) {
    return static_cast<std::time_t>(
        DaysFromCivil(calendar.tm_year + 1900LL, static_cast<unsigned>(calendar.tm_mon + 1),
                      static_cast<unsigned>(calendar.tm_mday)) * 86400 +
        calendar.tm_hour * 3600LL + calendar.tm_min * 60LL + calendar.tm_sec);
}

// Read by hand, not by sscanf: a summary reads two of these for each of a
// million rows.
std::optional<double> JournalSeconds(std::string_view utc) {
    static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.dddZ";
    if (utc.size() != kShape.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = utc[i] >= '0' && utc[i] <= '9';
        if (kShape[i] == 'd' ? !digit : utc[i] != kShape[i]) {
            return std::nullopt;
        }
    }
    const auto number = [utc](std::size_t at, std::size_t digits) {
        int value = 0;
        for (std::size_t i = at; i < at + digits; ++i) {
            value = value * 10 + (utc[i] - '0');
        }
        return value;
    };
    std::tm calendar{};
    calendar.tm_year = number(0, 4) - 1900;
    calendar.tm_mon = number(5, 2) - 1;
    calendar.tm_mday = number(8, 2);
    calendar.tm_hour = number(11, 2);
    calendar.tm_min = number(14, 2);
    calendar.tm_sec = number(17, 2);
    return static_cast<double>(UtcMoment(calendar)) + number(20, 3) / 1000.0;
}

std::string JournalText(std::time_t moment) {
    const std::tm calendar = CivilFromSeconds(moment);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.000Z",
                  calendar.tm_year + 1900, calendar.tm_mon + 1, calendar.tm_mday, calendar.tm_hour,
                  calendar.tm_min, calendar.tm_sec);
    return text;
}

std::optional<std::string> AskedTime(std::string_view asked, const Zone& zone, bool dayEnd) {
    std::string text(asked);
    const bool utc = !text.empty() && (text.back() == 'Z' || text.back() == 'z');
    if (utc) {
        text.pop_back();
    }
    std::tm calendar{};
    char separator = 0;
    int read = 0;
    const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%n%c%2d:%2d%n:%2d%n",
                                   &calendar.tm_year, &calendar.tm_mon, &calendar.tm_mday, &read,
                                   &separator, &calendar.tm_hour, &calendar.tm_min, &read,
                                   &calendar.tm_sec, &read);
    const bool dateOnly = fields == 3;
    const bool shape = read == static_cast<int>(text.size()) &&
                       (dateOnly || ((fields == 6 || fields == 7) &&
                                     (separator == ' ' || separator == 'T')));
    calendar.tm_year -= 1900;
    calendar.tm_mon -= 1;
    if (!shape || !ValidCalendar(calendar)) {
        return std::nullopt;
    }
    if (dateOnly && dayEnd) {
        calendar = CivilFromSeconds(UtcMoment(calendar) + 86400);
    }
    const std::optional<std::time_t> moment =
        utc ? std::optional(UtcMoment(calendar)) : zone.Moment(calendar);
    return moment ? std::optional(JournalText(*moment)) : std::nullopt;
}

std::string WallText(std::string_view utc, const Zone& zone) {
    const std::optional<double> seconds = JournalSeconds(utc);
    if (!seconds) {
        return std::string(utc);
    }
    const WallTime wall = zone.Wall(static_cast<std::time_t>(std::floor(*seconds)));
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", wall.calendar.tm_year + 1900,
                  wall.calendar.tm_mon + 1, wall.calendar.tm_mday, wall.calendar.tm_hour,
                  wall.calendar.tm_min, wall.calendar.tm_sec);
    return std::string(text) + " " + wall.zone;
}

}  // namespace vorlen::fleet
