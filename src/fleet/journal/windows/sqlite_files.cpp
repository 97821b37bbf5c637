// SQLite's Windows files are made with no access list of their own, so the
// write-ahead log beside the journal would be readable by every user who
// may read the folder. A file system of SQLite's (a VFS) over Windows' own
// first makes each such file with the owner-only list; SQLite then opens
// the file that is there, and its list stays.
#include "fleet/journal/private_path.h"

#include <string>

#include <sqlite3.h>

namespace vorlen::fleet {
namespace {

sqlite3_vfs* windowsFiles = nullptr;
sqlite3_vfs privateFiles{};

int OpenPrivate(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    if (name != nullptr && (flags & SQLITE_OPEN_CREATE) != 0 &&
        (flags & (SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_JOURNAL)) != 0) {
        // A file that cannot be made here is not made by SQLite either, and
        // its open below then fails with SQLite's own reason.
        std::string ignored;
        const std::string text(name);
        MakePrivateFile(std::filesystem::path(std::u8string(text.begin(), text.end())), ignored);
    }
    return windowsFiles->xOpen(windowsFiles, name, file, flags, outFlags);
}

bool Register() {
    windowsFiles = sqlite3_vfs_find(nullptr);
    if (windowsFiles == nullptr) {
        return false;
    }
    privateFiles = *windowsFiles;
    privateFiles.zName = "vorlen-private";
    privateFiles.xOpen = OpenPrivate;
    return sqlite3_vfs_register(&privateFiles, 1) == SQLITE_OK;
}

}  // namespace

void KeepSqliteFilesPrivate() {
    static const bool registered = Register();
    static_cast<void>(registered);
}

}  // namespace vorlen::fleet
