// Profiles on disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "profile/profile.h"

namespace vorlen {

// The file named by UTF-8 text (a command line's file name). A path made from
// a narrow string reads it in Windows' ANSI code page, where a Chinese name
// turns into "??" and names another file or none.
std::filesystem::path FilePath(std::string_view utf8);

// A profile file larger than this is refused unread.
inline constexpr std::uintmax_t kLargestProfileFile = 1 << 20;

// Writes the profile, replacing the file at once (never leaving half a
// profile). The file is readable and writable by its owner only, before any
// byte of it is written: it holds the passwords as they are. False when the
// file cannot be written.
bool SaveProfileFile(const std::filesystem::path& path, const TrackerForm& form,
                     const Selections& selections);

// Why SaveProfileFile failed, naming the file: GBK bytes in the language (0
// Chinese, anything else English).
std::string SaveFailedMessage(const std::filesystem::path& path, int language);

// Reads and checks a profile file; a missing or unreadable file is refused
// like a bad profile, with no key and no line.
ProfileResult LoadProfileFile(const std::filesystem::path& path, int language);

}  // namespace vorlen
