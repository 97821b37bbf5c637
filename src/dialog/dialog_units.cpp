#include "dialog/dialog_units.h"

namespace vorlen {
namespace {

// value * numerator / denominator rounded half away from zero, like the
// dialog manager's MulDiv.
int ScaleRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

int HorizontalBaseUnit(int lettersWidth) {
    return ScaleRounded(lettersWidth, 1, static_cast<int>(kBaseUnitLetters.size()));
}

Rect ToPixels(const Rect& dialogUnits, BaseUnits base) {
    const int left = ScaleRounded(dialogUnits.x, base.x, 4);
    const int top = ScaleRounded(dialogUnits.y, base.y, 8);
    const int right = ScaleRounded(dialogUnits.Right(), base.x, 4);
    const int bottom = ScaleRounded(dialogUnits.Bottom(), base.y, 8);
    return {left, top, right - left, bottom - top};
}

}  // namespace vorlen
