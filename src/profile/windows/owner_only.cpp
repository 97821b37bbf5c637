#include "profile/windows/owner_only.h"

#include <string>

#include <windows.h>
#include <sddl.h>

namespace vorlen {

void LocalFreer::operator()(void* memory) const { ::LocalFree(memory); }

SecurityDescriptor OwnerOnlyDescriptor(Inside inside) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return nullptr;
    }
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    const bool known = size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    ::CloseHandle(token);
    wchar_t* sid = nullptr;
    if (!known ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
        return nullptr;
    }
    // OICI: files and folders made inside inherit the entry.
    const std::wstring flags = inside == Inside::TheSameList ? L"OICI" : L"";
    const std::wstring sddl = L"D:P(A;" + flags + L";FA;;;" + std::wstring(sid) + L")";
    ::LocalFree(sid);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return nullptr;
    }
    return SecurityDescriptor(descriptor);
}

}  // namespace vorlen
