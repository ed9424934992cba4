#include "services/axserver/store_folder.h"

#include "services/store/store_files.h"
#include "base/handles.h"

#include <aclapi.h>
#include <sddl.h>

namespace {

// SYSTEM and Administrators, full control, inherited by everything inside; nothing inherited.
constexpr char kStoreSecurity[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return IsWellKnownSid(sid, type) != FALSE;
}

// The account this process runs as: the service's own account may keep its rights.
bool IsThisAccount(PSID sid) {
    base::UniqueHandleKernel token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return false;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, buffer, sizeof buffer, &size))
        return false;
    return EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, sid) != FALSE;
}

bool IsTrusted(PSID sid) {
    return IsWellKnown(sid, WinLocalSystemSid) || IsWellKnown(sid, WinBuiltinAdministratorsSid) ||
           IsThisAccount(sid);
}

// Whether the folder's owner or any right it grants reaches beyond the trusted accounts.
bool IsOpenToOthers(const std::string& folder) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    base::UniqueLocal descriptor;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, descriptor.Put()) != ERROR_SUCCESS)
        return true;
    if (!dacl || (owner && !IsTrusted(owner)))
        return true;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        ACE_HEADER* ace = nullptr;
        if (!GetAce(dacl, index, reinterpret_cast<void**>(&ace)))
            return true;
        if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE || (ace->AceFlags & INHERIT_ONLY_ACE))
            continue;
        PSID sid = &reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
        if (!IsTrusted(sid))
            return true;
    }
    return false;
}

} // namespace

DWORD SecureStoreFolder(const std::string& folder, std::string& note) {
    note.clear();
    base::UniqueLocal descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kStoreSecurity, SDDL_REVISION_1,
                                                              descriptor.Put(), nullptr))
        return GetLastError();
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        size_t slash = folder.find_last_of('\\');
        if (slash != std::string::npos && slash > 2)
            if (DWORD error = CreateFolderTree(folder.substr(0, slash)))
                return error;
        SECURITY_ATTRIBUTES security{sizeof security, descriptor.Get(), FALSE};
        if (!CreateDirectoryA(folder.c_str(), &security))
            return GetLastError();
        return ERROR_SUCCESS;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_DIRECTORY;
    if (!IsOpenToOthers(folder))
        return ERROR_SUCCESS;

    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor.Get(), &present, &dacl, &defaulted);
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
    DWORD error = SetNamedSecurityInfoA(const_cast<char*>(folder.c_str()), SE_FILE_OBJECT,
                                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                            PROTECTED_DACL_SECURITY_INFORMATION,
                                        administrators, nullptr, dacl, nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    note = IsOpenToOthers(folder)
               ? "The store folder " + folder +
                     " grants rights to other accounts than SYSTEM and Administrators, and its "
                     "file system kept them when they were restricted."
               : "The store folder " + folder +
                     " granted rights to other accounts; they are now restricted to SYSTEM and "
                     "Administrators.";
    return ERROR_SUCCESS;
}
