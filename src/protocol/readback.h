// Reading the whole configuration back from the tracker into the form.
#pragma once

#include <string>

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

// Sends the three queries (901, 902, 903) in turn and fills the record, the
// choice lists and the enabled states from their replies, then reports
// success. A query that is not acknowledged reports failure and ends the
// read-back; what earlier queries filled in stays. `port` is null when no port
// is open. `language` chooses the status text (0 Chinese, anything else
// English).
void ReadBackConfiguration(Port* port, TrackerForm& form, FormView& view, int language,
                           const Pause& pause = RealPause());

}  // namespace vorlen
