// A multi-line button's caption that does not fit the button in the form's
// font: the font that stands in for MS Sans Serif (Tahoma on Windows, a
// substitute under Wine) runs wider, so "Set Interval And Upload Numbers of
// Records" wraps onto one line more than the button holds and its last word
// is cut off at the bottom edge.
#pragma once

#include <windows.h>

#include <map>

namespace vorlen::win32 {

class CaptionFonts {
public:
    CaptionFonts() = default;
    ~CaptionFonts();
    CaptionFonts(const CaptionFonts&) = delete;
    CaptionFonts& operator=(const CaptionFonts&) = delete;

    // Gives the button the form's font when its caption fits, else the
    // largest smaller one (down to 7 pixels) in which the wrapped caption
    // fits inside the button's frame.
    void Fit(HWND button, HFONT formFont);

private:
    HFONT OfHeight(const LOGFONTW& form, LONG height);

    std::map<LONG, HFONT> fonts_;  // by pixel height, kept for the form's life
};

}  // namespace vorlen::win32
