#include "profile/private_file.h"

#include "profile/windows/owner_only.h"

#include <windows.h>

#include <memory>
#include <random>
#include <string>

namespace vorlen {
namespace {

namespace fs = std::filesystem;

// CREATE_NEW refuses any name that exists, a planted link included.
HANDLE CreateBeside(const fs::path& path, SECURITY_ATTRIBUTES& security, fs::path& temporary) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = path;
        temporary += L"." + std::to_wstring(random()) + L".part";
        HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, &security, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && ::FlushFileBuffers(file);
}

}  // namespace

bool SavePrivateFile(const fs::path& path, std::string_view bytes) {
    const auto descriptor = OwnerOnlyDescriptor();
    if (!descriptor) {
        return false;
    }
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), descriptor.get(), FALSE};
    fs::path temporary;
    HANDLE file = CreateBeside(path, security, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = WriteAll(file, bytes);
    ::CloseHandle(file);
    if (written && ::MoveFileExW(temporary.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    ::DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace vorlen
