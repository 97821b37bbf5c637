// The journal's module, vorlen-journal.dll, found and loaded with
// LoadLibraryEx. libpq.dll sits beside it and is found there, since the
// module is loaded by its full path with that folder searched first.
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "fleet/journal/journal_module.h"
#include "fleet/journal/module_library.h"

namespace vorlen::fleet {
namespace {

std::string LoaderReason() {
    const DWORD code = ::GetLastError();
    return std::system_category().message(static_cast<int>(code)) + " (" + std::to_string(code) +
           ")";
}

std::filesystem::path Utf8Path(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path ThisProgram() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (size == 0) {
            return {};
        }
        if (size < name.size()) {
            name.resize(size);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

}  // namespace

// A program in the build tree takes the build tree's module; an installed
// one (the MSI, the zip) the one beside it.
std::string JournalModulePath() {
    const std::filesystem::path program = ThisProgram();
    const std::wstring tree = Utf8Path(journal_module::kBuildTree).wstring();
    const std::wstring name = program.wstring();
    if (!program.empty() && name.size() >= tree.size() &&
        ::CompareStringOrdinal(name.c_str(), static_cast<int>(tree.size()), tree.c_str(),
                               static_cast<int>(tree.size()), TRUE) == CSTR_EQUAL) {
        return journal_module::kBuilt;
    }
    return Utf8(program.parent_path() / journal_module::kInstalled);
}

namespace module_library {

Handle Open(const std::string& path) {
    return ::LoadLibraryExW(Utf8Path(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* Symbol(Handle library, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

bool Close(Handle library) { return ::FreeLibrary(static_cast<HMODULE>(library)) != 0; }

std::string Reason() { return LoaderReason(); }

}  // namespace module_library

}  // namespace vorlen::fleet
