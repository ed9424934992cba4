#include "services/scanner/owner_cache.h"

#include <sddl.h>

#include <algorithm>

namespace {

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

bool Unchanged(const OwnedFile& file, const FILETIME& written, const FILETIME& changed,
               uint64_t size) {
    return file.size == size && SameTime(file.written, written) && SameTime(file.changed, changed);
}

std::string FolderKey(const std::string& folder) {
    std::string key = FoldCase(folder);
    if (key.empty() || key.back() != '\\')
        key += '\\';
    return key;
}

} // namespace

std::string FoldCase(const std::string& path) {
    std::string folded = path;
    bool ascii = true;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (!ascii) // the code page decides what other bytes are letters
        CharLowerBuffA(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

void OwnerCache::ResolveOwners(const std::string& folder, std::vector<OwnedFile>& files,
                               uint64_t scan) {
    std::string folderKey = FolderKey(folder);
    std::vector<size_t> missing;
    std::vector<std::string> keys(files.size());
    {
        std::lock_guard lock(m_filesLock);
        Folder& known = m_folders[folderKey];
        known.lastSeen = std::max(known.lastSeen, scan);
        for (size_t i = 0; i < files.size(); ++i) {
            OwnedFile& file = files[i];
            keys[i] = FoldCase(file.name);
            auto found = known.files.find(keys[i]);
            if (found != known.files.end() &&
                Unchanged(file, found->second.written, found->second.changed, found->second.size)) {
                file.owner = found->second.owner;
                found->second.lastSeen = std::max(found->second.lastSeen, scan);
            } else {
                missing.push_back(i);
            }
        }
    }
    if (missing.empty())
        return;
    std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
    for (size_t i : missing)
        files[i].owner = IdOf(ReadOwnerSid(prefix + files[i].name));
    std::lock_guard lock(m_filesLock);
    Folder& known = m_folders[folderKey];
    for (size_t i : missing) {
        const OwnedFile& file = files[i];
        Entry& entry = known.files[keys[i]];
        entry = Entry{file.size, file.written, file.changed, file.owner,
                      std::max(entry.lastSeen, scan)};
    }
}

std::string OwnerCache::ReadOwnerSid(const std::string& path) {
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

OwnerId OwnerCache::IdOf(const std::string& sid) {
    if (sid.empty())
        return 0;
    std::lock_guard lock(m_ownersLock);
    auto [found, added] = m_idBySid.try_emplace(sid, static_cast<OwnerId>(m_sids.size()));
    if (added)
        m_sids.push_back(sid);
    return found->second;
}

void OwnerCache::DropUnseen(const std::string& folder, uint64_t scan) {
    std::string prefix = FolderKey(folder);
    std::lock_guard lock(m_filesLock);
    for (auto known = m_folders.lower_bound(prefix);
         known != m_folders.end() && known->first.compare(0, prefix.size(), prefix) == 0;) {
        if (known->second.lastSeen < scan) {
            known = m_folders.erase(known);
            continue;
        }
        std::erase_if(known->second.files,
                      [scan](const auto& file) { return file.second.lastSeen < scan; });
        ++known;
    }
}

std::string OwnerCache::AccountName(OwnerId owner) {
    if (owner == 0)
        return {};
    std::string sid;
    {
        std::lock_guard lock(m_ownersLock);
        auto found = m_names.find(owner);
        if (found != m_names.end())
            return found->second;
        sid = m_sids.at(owner);
    }
    ++m_accountLookups;
    PSID binary = sid.data();
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
    std::lock_guard lock(m_ownersLock);
    m_names[owner] = text;
    return text;
}

void OwnerCache::Clear() {
    std::lock_guard lock(m_filesLock);
    m_folders.clear();
}
