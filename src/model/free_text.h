// The texts the operator may type freely (user ID, APN, APN user and
// password, server IP and port) go into a command line between commas and
// come back in a read-back between "#" marks. A byte that either grammar
// reads as a separator or an end would split the text: the tracker would
// store "pa#ss" and read back password "pa", IP "ss", and "cmnet,x" as the
// APN would move every later argument one place on.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/tracker_form.h"
#include "model/validation.h"

namespace vorlen {

struct FreeText {
    std::string TrackerForm::*text;
    ValidationMessage refusal;  // names the field
};

// The six free texts, in the order the set-all check visits them.
std::span<const FreeText> FreeTexts();

// "," ";" "#" and the control bytes (below 0x20, and 0x7F). None of them is
// the second byte of a GBK character, so the bytes can be looked at one by
// one.
bool IsSeparatorByte(char byte);
bool HoldsSeparator(std::string_view gbk);

// Whether the field is one of the free texts.
bool IsFreeText(std::string TrackerForm::*text);

// The message of the first free text among `texts` that holds a separator.
Verdict CheckFreeTexts(const TrackerForm& form, std::span<const FreeText> texts);

}  // namespace vorlen
