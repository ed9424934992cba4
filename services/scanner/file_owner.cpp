#include <aclapi.h>

#include <vector>

#include "services/scanner/usage_scanner.h"
#include "base/handles.h"

namespace {

// Setting an owner other than oneself needs the restore privilege (or take-ownership, for
// oneself and one's groups); enable whichever the token holds.
void EnableOwnerPrivileges() {
    base::UniqueHandleKernel token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        return;
    for (const char* name : {SE_RESTORE_NAME, SE_TAKE_OWNERSHIP_NAME}) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    }
}

bool OwnerIs(const std::string& path, PSID expected) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    bool same = owner && EqualSid(owner, expected);
    LocalFree(descriptor);
    return same;
}

} // namespace

bool SetFileOwnerAccount(const std::string& path, const std::string& account) {
    std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
    DWORD sidSize = static_cast<DWORD>(sid.size());
    char domain[256];
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use;
    if (!LookupAccountNameA(nullptr, account.c_str(), sid.data(), &sidSize, domain, &domainSize,
                            &use))
        return false;
    EnableOwnerPrivileges();
    DWORD error =
        SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION, sid.data(), nullptr, nullptr, nullptr);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return false;
    }
    // Some file systems accept an owner without keeping it: only an owner that reads back counts.
    if (!OwnerIs(path, sid.data())) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return true;
}
