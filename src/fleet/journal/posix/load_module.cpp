// The journal's module found and loaded with the dynamic loader.
#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "fleet/journal/journal_module.h"
#include "fleet/journal/module_library.h"

namespace vorlen::fleet {
namespace module_library {

Handle Open(const std::string& path) { return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* Symbol(Handle library, const char* name) {
    ::dlerror();
    return ::dlsym(library, name);
}

bool Close(Handle library) { return ::dlclose(library) == 0; }

std::string Reason() {
    const char* reason = ::dlerror();
    return reason ? reason : "no reason given";
}

}  // namespace module_library

std::string JournalModulePath() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && program.string().starts_with(journal_module::kBuildTree)) {
        return journal_module::kBuilt;
    }
    return journal_module::kInstalled;
}

}  // namespace vorlen::fleet
