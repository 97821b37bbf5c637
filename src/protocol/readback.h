// Reading the whole configuration back from the tracker into the form.
#pragma once

#include <string>

#include "model/selections.h"
#include "model/tracker_form.h"
#include "protocol/form_view.h"
#include "protocol/pause.h"
#include "protocol/port.h"

namespace vorlen {

// The tracker separates the values of a query reply with this character.
inline constexpr char kReplyFieldSeparator = '#';

// The tracker's query reply gives the APN user and password at most this many
// bytes, one fewer than the form takes: a longer value cannot be read back
// whole.
inline constexpr int kLongestReadBackApnLogin = 31;

// Takes the next field of a reply's field list. `cursor` points into the list
// and `remaining` counts the list's characters from the cursor to its end;
// both move past the field and the one character after it. A field stops at
// the separator, at the end of the list, or at `size` - 1 characters: a cut
// field loses its next character and the rest becomes the next field. Once
// the list is used up every call yields an empty field and reads nothing; the
// cursor then stays at the list's end while `remaining` keeps falling. A zero
// byte ends the field's text, as the destination is a terminated text.
void TakeReplyField(const char*& cursor, int& remaining, char separator, std::string& destination,
                    int size);

inline constexpr int kReadBackQueries = 3;

// What the tracker answered to the read-back's queries, in the form's terms.
struct TrackerReading {
    // Queries answered, in order; the read-back stops at the first that is not.
    int answered = 0;
    // The record it started from, with the fields of every answered query:
    // the numbers (901), the system settings and software version (902), the
    // fence's switch and parameters (903).
    TrackerForm form;
    // The entries the replies name, -1 where a number names none; the
    // working mode, warning type and base stations come with 902, the
    // hemispheres and fence type with 903. The fence type is -1 while the
    // fence is off.
    Selections selections;
    // The tracker's own number for the fence (see kFenceKindOfFirstEntry);
    // meaningful only while the fence is on.
    int fenceKind = 0;

    bool Succeeded() const { return answered == kReadBackQueries; }
    bool SystemAnswered() const { return answered >= 2; }
    bool FenceAnswered() const { return answered >= 3; }
};

// Sends the three queries (901, 902, 903) in turn and gives back what their
// replies hold, starting from `form`. A query that is not acknowledged ends
// the read-back; what earlier queries read stays in the result.
TrackerReading ReadBackTracker(Port& port, const TrackerForm& form = {},
                               const Pause& pause = RealPause());

// The status line of a read-back (GBK): `language` 0 Chinese, anything else
// English.
std::string ReadBackResultText(bool succeeded, int language);

// The form's Read Config: reads the tracker into the record, hands the
// reading to the window to show, and reports the outcome. `port` is null when
// no port is open, which fails at once.
void ReadBackConfiguration(Port* port, TrackerForm& form, FormView& view, int language,
                           const Pause& pause = RealPause());

}  // namespace vorlen
