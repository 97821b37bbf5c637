#include "win32/profile_path_dialog.h"

#include <vector>

#include "win32/file_box.h"

namespace vorlen::win32 {
namespace {

// Pairs of a shown name and its pattern, each ended by a null, the list by
// a second one.
constexpr wchar_t kFilter[] = L"Vorlen profile (*.toml)\0*.toml\0All files (*.*)\0*.*\0";

// Long paths are allowed to the dialog; the name comes back whole.
constexpr DWORD kPathChars = 32768;

}  // namespace

std::optional<std::filesystem::path> AskProfilePath(HWND owner, const std::wstring& caption,
                                                    bool forSaving) {
    std::vector<wchar_t> name(kPathChars, L'\0');
    OPENFILENAMEW ask{};
    ask.lStructSize = sizeof ask;
    ask.hwndOwner = owner;
    ask.lpstrFilter = kFilter;
    ask.nFilterIndex = 1;
    ask.lpstrFile = name.data();
    ask.nMaxFile = kPathChars;
    ask.lpstrTitle = caption.c_str();
    ask.lpstrDefExt = L"toml";
    // The working directory stays as it was: nothing else depends on it.
    ask.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                (forSaving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!ShowFileBox(ask, forSaving)) {
        return std::nullopt;
    }
    return std::filesystem::path(std::wstring(name.data()));
}

}  // namespace vorlen::win32
