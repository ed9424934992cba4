// Measures the space used below a folder: total bytes, file count and, when asked, bytes per
// owner account.
//
// Sizes are the files' logical sizes (end of file), summed over every file below the folder at
// any depth. The owner of a file is read from its security descriptor and named as
// LookupAccountSidA gives it ("DOMAIN\name"); owner names compare without regard to case.
// Reading a file's owner is slow, so owners are cached per file, keyed by path, size, creation
// and last-write time: a rescan of an unchanged tree reads no security descriptor again. A change
// of owner alone (same size and times) is therefore seen only after ForgetOwners. Account names
// are cached per SID.
//
// One scanner may serve many threads at once; its caches are shared and locked.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct UsageResult {
    DWORD error = 0;          // 0, or why the folder itself could not be read
    uint64_t totalBytes = 0;  // sum of the sizes of every file below the folder
    uint64_t fileCount = 0;   // files below the folder (folders not counted)
    uint64_t folderCount = 0; // folders below the folder (the folder itself not counted)
    uint64_t unreadable = 0;  // subfolders that could not be listed (their contents are missing)
    // Bytes per owner account; only filled when owners were asked for. Files whose owner cannot
    // be read count under "" (empty name); an owner SID without a name counts under its S-1-...
    // text.
    std::map<std::string, uint64_t, NoCaseLess> bytesByOwner;
};

class OwnerCache;

class UsageScanner {
public:
    UsageScanner();
    ~UsageScanner();
    UsageScanner(const UsageScanner&) = delete;
    UsageScanner& operator=(const UsageScanner&) = delete;

    // Scans `folder` (a path such as "C:\Data"; a trailing backslash is allowed).
    UsageResult Scan(const std::string& folder, bool attributeOwners);

    // Security descriptors read and SIDs looked up since construction: a rescan of an unchanged
    // tree adds nothing to either.
    uint64_t SecurityReads() const;
    uint64_t AccountLookups() const;

    // Drops every cached owner (names of SIDs are kept).
    void ForgetOwners();

private:
    std::unique_ptr<OwnerCache> m_owners;
};

// Makes `account` ("Administrators", "DOMAIN\name", ...) the owner of a file or folder.
// Returns false when the account is unknown or the owner cannot be set; GetLastError tells why.
bool SetFileOwnerAccount(const std::string& path, const std::string& account);
