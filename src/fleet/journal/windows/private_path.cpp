#include "fleet/journal/private_path.h"

#include <string>
#include <system_error>

#include <windows.h>

#include "profile/windows/owner_only.h"

namespace vorlen::fleet {
namespace {

std::string SystemReason(DWORD code) {
    return std::system_category().message(static_cast<int>(code));
}

}  // namespace

bool MakePrivateFolders(const std::filesystem::path& folder, std::string& failure) {
    const SecurityDescriptor descriptor = OwnerOnlyDescriptor(Inside::TheSameList);
    if (!descriptor) {
        failure = "the user's identity cannot be read for the folder's access list";
        return false;
    }
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), descriptor.get(), FALSE};
    std::filesystem::path made;
    for (const std::filesystem::path& part : folder) {
        made /= part;
        // The drive ("C:") and the root ("\") are there already.
        if (made == made.root_path() || made == made.root_name()) {
            continue;
        }
        if (!::CreateDirectoryW(made.c_str(), &security) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            const DWORD code = ::GetLastError();
            const std::u8string name = made.u8string();
            failure = std::string(name.begin(), name.end()) + ": " + SystemReason(code);
            return false;
        }
    }
    return true;
}

bool MakePrivateFile(const std::filesystem::path& file, std::string& failure) {
    const SecurityDescriptor descriptor = OwnerOnlyDescriptor();
    if (!descriptor) {
        failure = "the user's identity cannot be read for the file's access list";
        return false;
    }
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), descriptor.get(), FALSE};
    HANDLE made = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, &security, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_EXISTS) {
            return true;
        }
        failure = SystemReason(code);
        return false;
    }
    if (!::CloseHandle(made)) {
        failure = SystemReason(::GetLastError());
        return false;
    }
    return true;
}

}  // namespace vorlen::fleet
