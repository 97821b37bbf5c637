#include "provision/tracker_view.h"

#include "profile/profile_keys.h"

namespace vorlen::provision {

void TrackerView::ReportStatus(const std::string& text, StatusMark mark) {
    statusText_ = text;
    mark_ = mark;
}

// An index the list does not have leaves it without a selection, as in the
// window.
void TrackerView::SelectEntry(int listId, int index) {
    if (const ProfileKey* key = FindChoiceKey(listId)) {
        const bool listed = index >= 0 && static_cast<std::size_t>(index) < key->entries.size();
        selections_.*key->selection = listed ? index : -1;
    }
}

}  // namespace vorlen::provision
