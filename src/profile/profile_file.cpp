#include "profile/profile_file.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "profile/private_file.h"
#include "profile/profile_messages.h"

namespace vorlen {
namespace {

namespace fs = std::filesystem;

ProfileError FileRefusal(const Bilingual& pattern, const fs::path& path, int language) {
    const auto utf8 = path.u8string();
    const std::string_view name(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    return {{}, 0, profile_text::Describe(pattern, language, 0, {}, name)};
}

ProfileResult Refusing(const ProfileError& fault) { return {std::nullopt, fault, {fault}}; }

}  // namespace

fs::path FilePath(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

bool SaveProfileFile(const fs::path& path, const TrackerForm& form,
                     const Selections& selections) {
    return SavePrivateFile(path, WriteProfile(form, selections));
}

std::string SaveFailedMessage(const fs::path& path, int language) {
    return FileRefusal(profile_text::kNotWritten, path, language).message;
}

ProfileResult LoadProfileFile(const fs::path& path, int language) {
    std::error_code error;
    if (!fs::exists(path, error)) {
        return Refusing(FileRefusal(profile_text::kNoFile, path, language));
    }
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) {
        return Refusing(FileRefusal(profile_text::kUnreadable, path, language));
    }
    if (size > kLargestProfileFile) {
        return Refusing(FileRefusal(profile_text::kTooLarge, path, language));
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    if (in.bad() || !in.is_open()) {
        return Refusing(FileRefusal(profile_text::kUnreadable, path, language));
    }
    return ReadProfile(text, language);
}

}  // namespace vorlen
