// Files that may hold the user password and the APN password: profiles,
// saved line-monitor logs, provisioning reports.
#pragma once

#include <filesystem>
#include <string_view>

namespace vorlen {

// Puts `bytes` at `path` in one step. They are first written to a new file
// of a unique name beside the target, readable by its owner alone from the
// moment it exists, flushed to disk, and then moved over the target, so a
// reader sees the old file or the whole new one and never a part. A link
// planted at the target is replaced, not followed. False when the file
// cannot be written; the target is then as it was and nothing is left beside
// it.
bool SavePrivateFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vorlen
