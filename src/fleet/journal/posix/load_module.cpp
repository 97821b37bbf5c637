// The journal's module found and loaded with the dynamic loader.
#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "fleet/journal/journal_module.h"

namespace vorlen::fleet {
// Fixed by the build (src/fleet/CMakeLists.txt).
namespace journal_module {
extern const char* const kRelease;
extern const char* const kBuildTree;
extern const char* const kBuilt;
extern const char* const kInstalled;
}  // namespace journal_module

namespace {

std::string LoaderReason() {
    const char* reason = ::dlerror();
    return reason ? reason : "no reason given";
}

// A module turned away is let go again; should even that fail, its reason
// joins the first one.
void LetGo(void* handle, std::string& failure) {
    if (::dlclose(handle) != 0) {
        failure += "; unloading it failed too: " + LoaderReason();
    }
}

template <typename Entry>
bool Find(void* handle, const char* name, const std::string& path, Entry& entry,
          std::string& failure) {
    ::dlerror();
    entry = reinterpret_cast<Entry>(::dlsym(handle, name));
    if (!entry) {
        failure = "the journal's module " + path + " lacks " + name + ": " + LoaderReason();
        return false;
    }
    return true;
}

}  // namespace

std::string JournalModulePath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && program.string().starts_with(journal_module::kBuildTree)) {
        return journal_module::kBuilt;
    }
    return journal_module::kInstalled;
}

std::optional<JournalModule> LoadJournalModule(const std::string& path, std::string& failure) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        failure = "the journal's module " + path + " cannot be loaded: " + LoaderReason();
        return std::nullopt;
    }
    JournalModule module;
    decltype(&vorlen_journal_release) release = nullptr;
    if (!Find(handle, "vorlen_journal_release", path, release, failure) ||
        !Find(handle, "vorlen_journal_open", path, module.open, failure) ||
        !Find(handle, "vorlen_journal_file_sha256", path, module.fileSha256, failure)) {
        LetGo(handle, failure);
        return std::nullopt;
    }
    if (const std::string its = release(); its != journal_module::kRelease) {
        failure = "the journal's module " + path + " belongs to release " + its +
                  ", this program to release " + journal_module::kRelease;
        LetGo(handle, failure);
        return std::nullopt;
    }
    return module;
}

}  // namespace vorlen::fleet
