// The /dev/serial/by-path links with another folder in place of the real
// one, so tests can hand it a fake tree.
#pragma once

#include <filesystem>
#include <string>

namespace vorlen {

// The link in `byPath` that leads to `devicePath`, the first by name when
// several do; `devicePath` itself when none does or the folder is missing.
std::string SocketPortName(const std::string& devicePath, const std::filesystem::path& byPath);

}  // namespace vorlen
