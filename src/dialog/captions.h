// The captions of the form's buttons, labels and check box in both languages.
#pragma once

#include <span>

#include "model/bilingual.h"

namespace vorlen {

struct Caption {
    int controlId;
    Bilingual text;
};

// Every captioned control of the form, in the order a language switch sets
// them. The Chinese captions are the ones the form is laid out with.
std::span<const Caption> LanguageCaptions();

}  // namespace vorlen
