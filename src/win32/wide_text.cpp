#include "win32/wide_text.h"

#include <windows.h>

#include <algorithm>

namespace vorlen {

std::wstring WideOfUtf8(std::string_view utf8) {
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    }
    return wide;
}

std::string Utf8OfWide(std::wstring_view wide) {
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(length, 0)), '\0');
    if (length > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    }
    return utf8;
}

std::wstring ShownInControl(std::string_view utf8, bool multiLine) {
    const std::wstring wide = WideOfUtf8(utf8);
    if (!multiLine) {
        return wide;
    }
    std::wstring shown;
    shown.reserve(wide.size() + wide.size() / 16);
    for (const wchar_t c : wide) {
        if (c == L'\n') {
            shown += L'\r';
        }
        shown += c;
    }
    return shown;
}

// Only a CR right before an LF, the one ShownInControl put there.
std::string TextOfControl(std::wstring_view shown, bool multiLine) {
    std::wstring wide;
    wide.reserve(shown.size());
    for (std::size_t at = 0; at < shown.size(); ++at) {
        if (!(multiLine && shown[at] == L'\r' && at + 1 < shown.size() && shown[at + 1] == L'\n')) {
            wide += shown[at];
        }
    }
    return Utf8OfWide(wide);
}

}  // namespace vorlen
