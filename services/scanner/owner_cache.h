// The usage scanner's memory of file owners and account names.
//
// Files: lowercase path -> size, creation and last-write time and the owner's SID, valid while
// size and times are unchanged. Entries of files no longer found are dropped after the scan of a
// folder that contains them. Accounts: SID -> "DOMAIN\name". Both are locked: many scans may use
// one cache at once.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// A file met by a scan, whose owner the scan wants.
struct OwnedFile {
    std::string path; // full path as found
    uint64_t size;
    FILETIME created;
    FILETIME written;
    std::string sid; // the owner's SID bytes, filled by ResolveOwners ("" when unreadable)
};

class OwnerCache {
public:
    // A number that marks what one scan has seen.
    uint64_t BeginScan() { return ++m_lastScan; }

    // Fills the owner SID of each file: from the cache when its size and times are unchanged,
    // otherwise from the file's security descriptor (and remembers it).
    void ResolveOwners(std::vector<OwnedFile>& files, uint64_t scan);

    // Forgets the files below `folder` that the scan `scan` did not meet.
    void DropUnseen(const std::string& folder, uint64_t scan);

    // "DOMAIN\name" of a SID (bytes), or its S-1-... text when it has no name; "" for "".
    std::string AccountName(const std::string& sid);

    void Clear();

    uint64_t SecurityReads() const { return m_securityReads; }
    uint64_t AccountLookups() const { return m_accountLookups; }

private:
    struct Entry {
        uint64_t size;
        FILETIME created;
        FILETIME written;
        std::string sid;
        uint64_t lastSeen;
    };
    std::string ReadOwner(const std::string& path);

    std::mutex m_filesLock;
    std::map<std::string, Entry> m_files;
    std::mutex m_namesLock;
    std::unordered_map<std::string, std::string> m_names;
    std::atomic<uint64_t> m_lastScan{0};
    std::atomic<uint64_t> m_securityReads{0};
    std::atomic<uint64_t> m_accountLookups{0};
};

// The path lowercased, as the cache keys it.
std::string FoldCase(const std::string& path);
