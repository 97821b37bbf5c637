#include "win32/caption_fit.h"

#include <cstdlib>
#include <string>

namespace vorlen::win32 {
namespace {

// The button's frame, its focus rectangle and the text's inset take this
// much on each side: Wine wraps a caption narrower than the frame alone
// leaves room for.
constexpr int kSideMargin = 8;
constexpr int kEndMargin = 4;
constexpr LONG kSmallestHeight = 7;

std::wstring CaptionOf(HWND button) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(button)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(button, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool Fits(HDC dc, HFONT font, const std::wstring& caption, const RECT& room) {
    ::SelectObject(dc, font);
    RECT needed{0, 0, room.right - room.left, 0};
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    return needed.bottom <= room.bottom - room.top && needed.right <= room.right - room.left;
}

}  // namespace

CaptionFonts::~CaptionFonts() {
    for (const auto& [height, font] : fonts_) {
        ::DeleteObject(font);
    }
}

HFONT CaptionFonts::OfHeight(const LOGFONTW& form, LONG height) {
    if (const auto found = fonts_.find(height); found != fonts_.end()) {
        return found->second;
    }
    LOGFONTW smaller = form;
    smaller.lfHeight = form.lfHeight < 0 ? -height : height;
    smaller.lfWidth = 0;
    return fonts_[height] = ::CreateFontIndirectW(&smaller);
}

void CaptionFonts::Fit(HWND button, HFONT formFont) {
    LOGFONTW form{};
    RECT room{};
    if (button == nullptr || formFont == nullptr ||
        ::GetObjectW(formFont, sizeof form, &form) == 0 || !::GetClientRect(button, &room)) {
        return;
    }
    ::InflateRect(&room, -kSideMargin, -kEndMargin);
    const std::wstring caption = CaptionOf(button);
    HDC dc = ::GetDC(button);
    const HGDIOBJ before = ::GetCurrentObject(dc, OBJ_FONT);
    HFONT chosen = formFont;
    for (LONG height = std::labs(form.lfHeight) - 1;
         !Fits(dc, chosen, caption, room) && height >= kSmallestHeight; --height) {
        chosen = OfHeight(form, height);
    }
    ::SelectObject(dc, before);
    ::ReleaseDC(button, dc);
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
}

}  // namespace vorlen::win32
