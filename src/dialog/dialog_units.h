// Dialog units to pixels, the way the Windows dialog manager converts them,
// so the form keeps its proportions at any font size or screen resolution.
#pragma once

#include <string_view>

#include "dialog/dialog_layout.h"

namespace vorlen {

// The dialog font's average character width and its height, in pixels.
struct BaseUnits {
    int x = 0;
    int y = 0;
    bool operator==(const BaseUnits&) const = default;
};

// The letters whose average width is the horizontal base unit.
inline constexpr std::string_view kBaseUnitLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The average width of the 52 letters, rounded to the nearest pixel, from the
// width of the whole string.
int HorizontalBaseUnit(int lettersWidth);

// x * base.x / 4 and y * base.y / 8, rounded to the nearest pixel. The far
// edges are converted as coordinates too (width = converted right - converted
// left), so a control inside a group box in dialog units stays inside it in
// pixels and adjoining controls still adjoin.
Rect ToPixels(const Rect& dialogUnits, BaseUnits base);

}  // namespace vorlen
