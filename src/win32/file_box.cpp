#include "win32/file_box.h"

namespace vorlen::win32 {
namespace {

using FileBox = BOOL(WINAPI*)(OPENFILENAMEW*);

// Only the file boxes need comdlg32, which brings shell32 and winspool with
// it (some 20 ms and 6 MB at start-up under Wine); it comes from the
// system's own folder only.
HMODULE FileBoxes() {
    static const HMODULE boxes =
        ::LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return boxes;
}

}  // namespace

bool ShowFileBox(OPENFILENAMEW& ask, bool forSaving) {
    const HMODULE boxes = FileBoxes();
    if (boxes == nullptr) {
        return false;
    }
    const FARPROC box =
        ::GetProcAddress(boxes, forSaving ? "GetSaveFileNameW" : "GetOpenFileNameW");
    return box != nullptr && reinterpret_cast<FileBox>(reinterpret_cast<void*>(box))(&ask) != FALSE;
}

}  // namespace vorlen::win32
