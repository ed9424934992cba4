#include "services/scanner/owner_cache.h"

#include <sddl.h>

namespace {

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

} // namespace

std::string FoldCase(const std::string& path) {
    std::string folded = path;
    if (!folded.empty())
        CharLowerBuffA(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

void OwnerCache::ResolveOwners(std::vector<OwnedFile>& files, uint64_t scan) {
    std::vector<size_t> missing;
    std::vector<std::string> keys(files.size());
    {
        std::lock_guard lock(m_filesLock);
        for (size_t i = 0; i < files.size(); ++i) {
            OwnedFile& file = files[i];
            keys[i] = FoldCase(file.path);
            auto found = m_files.find(keys[i]);
            if (found != m_files.end() && found->second.size == file.size &&
                SameTime(found->second.created, file.created) &&
                SameTime(found->second.written, file.written)) {
                file.sid = found->second.sid;
                found->second.lastSeen = scan;
            } else {
                missing.push_back(i);
            }
        }
    }
    if (missing.empty())
        return;
    for (size_t i : missing)
        files[i].sid = ReadOwner(files[i].path);
    std::lock_guard lock(m_filesLock);
    for (size_t i : missing) {
        const OwnedFile& file = files[i];
        m_files[keys[i]] = Entry{file.size, file.created, file.written, file.sid, scan};
    }
}

std::string OwnerCache::ReadOwner(const std::string& path) {
    ++m_securityReads;
    char buffer[512];
    DWORD needed = 0;
    std::vector<char> large;
    PSECURITY_DESCRIPTOR descriptor = buffer;
    if (!GetFileSecurityA(path.c_str(), OWNER_SECURITY_INFORMATION, descriptor, sizeof buffer,
                          &needed)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return {};
        large.resize(needed);
        descriptor = large.data();
        if (!GetFileSecurityA(path.c_str(), OWNER_SECURITY_INFORMATION, descriptor, needed,
                              &needed))
            return {};
    }
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner || !IsValidSid(owner))
        return {};
    const char* bytes = static_cast<const char*>(owner);
    return std::string(bytes, bytes + GetLengthSid(owner));
}

void OwnerCache::DropUnseen(const std::string& folder, uint64_t scan) {
    std::string prefix = FoldCase(folder);
    if (prefix.empty() || prefix.back() != '\\')
        prefix += '\\';
    std::lock_guard lock(m_filesLock);
    for (auto entry = m_files.lower_bound(prefix);
         entry != m_files.end() && entry->first.compare(0, prefix.size(), prefix) == 0;) {
        if (entry->second.lastSeen < scan)
            entry = m_files.erase(entry);
        else
            ++entry;
    }
}

std::string OwnerCache::AccountName(const std::string& sid) {
    if (sid.empty())
        return {};
    {
        std::lock_guard lock(m_namesLock);
        auto found = m_names.find(sid);
        if (found != m_names.end())
            return found->second;
    }
    ++m_accountLookups;
    PSID binary = const_cast<char*>(sid.data());
    char name[256], domain[256];
    DWORD nameSize = sizeof name, domainSize = sizeof domain;
    SID_NAME_USE use;
    std::string text;
    if (LookupAccountSidA(nullptr, binary, name, &nameSize, domain, &domainSize, &use)) {
        text = domain[0] ? std::string(domain) + "\\" + name : std::string(name);
    } else {
        char* sidText = nullptr;
        if (ConvertSidToStringSidA(binary, &sidText)) {
            text = sidText;
            LocalFree(sidText);
        }
    }
    std::lock_guard lock(m_namesLock);
    m_names[sid] = text;
    return text;
}

void OwnerCache::Clear() {
    std::lock_guard lock(m_filesLock);
    m_files.clear();
}
