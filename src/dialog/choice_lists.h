// The entries of the form's fixed choice lists. An entry's index is the value
// a command sends, so the order is part of the tracker protocol.
#pragma once

#include <span>

#include "model/bilingual.h"

namespace vorlen {

struct ChoiceList {
    int controlId;
    std::span<const Bilingual> entries;  // the same text twice where the list has one language
    int selectedAfterFill;
};

// The lists in the order the form fills them at start-up. The port list is
// not among them: its entries come from the port discovery.
std::span<const ChoiceList> ChoiceLists();

// The list with that control id, or null.
const ChoiceList* FindChoiceList(int controlId);

}  // namespace vorlen
