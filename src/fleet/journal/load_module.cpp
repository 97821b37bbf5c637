// The journal's module loaded and checked: every entry there, and of this
// program's release, before anything of it is called.
#include <string>

#include "fleet/journal/journal_module.h"
#include "fleet/journal/module_library.h"

namespace vorlen::fleet {
namespace {

// A module turned away is let go again; should even that fail, its reason
// joins the first one.
void LetGo(module_library::Handle library, std::string& failure) {
    if (!module_library::Close(library)) {
        failure += "; unloading it failed too: " + module_library::Reason();
    }
}

template <typename Entry>
bool Find(module_library::Handle library, const char* name, const std::string& path,
          Entry& entry, std::string& failure) {
    entry = reinterpret_cast<Entry>(module_library::Symbol(library, name));
    if (!entry) {
        failure = "the journal's module " + path + " lacks " + name + ": " +
                  module_library::Reason();
        return false;
    }
    return true;
}

}  // namespace

std::optional<JournalModule> LoadJournalModule(const std::string& path, std::string& failure) {
    const module_library::Handle library = module_library::Open(path);
    if (!library) {
        failure = "the journal's module " + path + " cannot be loaded: " + module_library::Reason();
        return std::nullopt;
    }
    JournalModule module;
    decltype(&vorlen_journal_release) release = nullptr;
    if (!Find(library, "vorlen_journal_release", path, release, failure) ||
        !Find(library, "vorlen_journal_open", path, module.open, failure) ||
        !Find(library, "vorlen_journal_file_sha256", path, module.fileSha256, failure)) {
        LetGo(library, failure);
        return std::nullopt;
    }
    if (const std::string its = release(); its != journal_module::kRelease) {
        failure = "the journal's module " + path + " belongs to release " + its +
                  ", this program to release " + journal_module::kRelease;
        LetGo(library, failure);
        return std::nullopt;
    }
    return module;
}

}  // namespace vorlen::fleet
