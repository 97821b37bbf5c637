// The journal holds passwords (a device row's values, a check's differences),
// so its file and the folders made for it are the user's alone from their
// first byte: never created open and narrowed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace vorlen::fleet {

// Creates each missing folder of `folder` readable by its owner only (0700);
// folders already there are left as they are. False, with the reason, when
// one cannot be made.
bool MakePrivateFolders(const std::filesystem::path& folder, std::string& failure);

// Creates `file` empty and readable by its owner only (0600) unless it is
// there already. False, with the reason, when it cannot be made.
bool MakePrivateFile(const std::filesystem::path& file, std::string& failure);

// The files SQLite makes beside a journal (its write-ahead log, a rollback
// journal) hold rows too: from this call on they are the user's alone, as
// the journal is. Called in the journal's module before a journal opens.
void KeepSqliteFilesPrivate();

}  // namespace vorlen::fleet
