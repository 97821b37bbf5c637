// The keys of a profile in the order a saved file lists them, and where each
// value lives in the record or the selections.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "profile/profile.h"

namespace vorlen {

enum class KeyKind {
    Text,    // a record text, limited as typing limits its field
    Choice,  // a selection, written as the name of its entry
    Switch,  // the fence switch, true or false
};

struct ProfileKey {
    std::string_view name;     // the record's or the selection's own name
    KeyKind kind;
    std::string_view heading;  // a comment line above the key in a saved file; may be empty
    std::string TrackerForm::*text = nullptr;
    int Selections::*selection = nullptr;
    int listId = 0;                            // the choice list behind a selection
    std::span<const std::string_view> entries; // entry names, by the list's index
};

std::span<const ProfileKey> ProfileKeys();

// The key of that name, or null.
const ProfileKey* FindProfileKey(std::string_view name);

// The selection's key behind a choice list, or null.
const ProfileKey* FindChoiceKey(int listId);

// A text key's limit in GBK bytes: its field's typing limit.
int TextLimit(const ProfileKey& key);

// The name of entry `index` of a choice key; "" for no selection or an index
// the list does not have.
std::string_view EntryName(const ProfileKey& key, int index);

// The key's value as a profile shows it, in UTF-8: the text, the entry name,
// or true / false.
std::string ValueText(const ProfileKey& key, const Profile& profile);

}  // namespace vorlen
