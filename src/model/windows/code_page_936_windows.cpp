#include <windows.h>

#include <algorithm>

#include "model/code_page_936.h"

namespace vorlen {
namespace {

constexpr UINT kCodePage936 = 936;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Windows gives the user-defined areas of code page 936, and the byte FF,
// characters of the Private Use Area. glibc's GBK has none of them, nor does
// the tracker, so here too they are no characters, both ways: a text means
// the same on both platforms.
bool IsPrivateUse(wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; }

bool HasPrivateUse(std::wstring_view wide) {
    return std::any_of(wide.begin(), wide.end(), IsPrivateUse);
}

std::wstring Utf16Of(std::string_view text, UINT codePage) {
    const int size = static_cast<int>(text.size());
    const int length =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                              length);
    }
    return wide;
}

void AppendUtf8(std::wstring_view wide, std::string& out) {
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data() + start, length, nullptr,
                          nullptr);
}

// The one character that starts the text: a lead byte with its trail byte,
// or a single byte. Empty when those bytes are no character of the code page.
std::wstring FirstCharacter(std::string_view gbk, std::size_t& used) {
    const auto lead = static_cast<BYTE>(gbk[0]);
    used = gbk.size() > 1 && ::IsDBCSLeadByteEx(kCodePage936, lead) ? 2 : 1;
    std::wstring character = Utf16Of(gbk.substr(0, used), kCodePage936);
    return HasPrivateUse(character) ? std::wstring() : character;
}

}  // namespace

std::optional<std::string> EncodeCodePage936(std::string_view utf8) {
    if (utf8.empty()) {
        return std::string();
    }
    const std::wstring wide = Utf16Of(utf8, CP_UTF8);
    if (wide.empty() || HasPrivateUse(wide)) {
        return std::nullopt;  // not valid UTF-8, or no character of GBK
    }
    const int size = static_cast<int>(wide.size());
    BOOL unmapped = FALSE;
    const int length = ::WideCharToMultiByte(kCodePage936, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                             nullptr, 0, nullptr, &unmapped);
    if (length <= 0 || unmapped) {
        return std::nullopt;
    }
    std::string gbk(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(kCodePage936, WC_NO_BEST_FIT_CHARS, wide.data(), size, gbk.data(),
                          length, nullptr, &unmapped);
    return gbk;
}

// One character at a time, so that a byte that is no character becomes one
// U+FFFD and decoding goes on with the next byte, as on Linux.
std::string DecodeCodePage936(std::string_view gbk) {
    std::string out;
    std::wstring run;
    while (!gbk.empty()) {
        std::size_t used = 0;
        const std::wstring character = FirstCharacter(gbk, used);
        if (character.empty()) {
            AppendUtf8(run, out);
            run.clear();
            out += kReplacement;
            used = 1;
        } else {
            run += character;
        }
        gbk.remove_prefix(used);
    }
    AppendUtf8(run, out);
    return out;
}

}  // namespace vorlen
