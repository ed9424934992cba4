// The usage scanner's memory of file owners and account names.
//
// Files are remembered per folder: folder (lowercase path) -> file name (lowercase) -> size,
// last-write and change time and the owner, valid while size and times are unchanged (a new
// owner, like any change of a file's security, moves its change time). Owners
// are kept once each, as numbers standing for their SIDs. Entries of files no longer found are
// dropped after the scan of a folder that contains them. Accounts: SID -> "DOMAIN\name". Every
// member is locked: many scans may use one cache at once.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// The owner of files: 0 when it could not be read, otherwise a number OwnerCache hands out.
using OwnerId = uint32_t;

// A file met by a scan, whose owner the scan wants.
struct OwnedFile {
    std::string name; // as found, without the folder
    uint64_t size;
    FILETIME written;
    FILETIME changed;  // of the file's data, attributes or security
    OwnerId owner = 0; // filled by ResolveOwners
};

class OwnerCache {
public:
    // A number that marks what one scan has seen.
    uint64_t BeginScan() { return ++m_lastScan; }

    // Fills the owner of each file of `folder` (its path as the scan found it): from the cache
    // when the file's size and times are unchanged, otherwise from the file's security
    // descriptor (and remembers it).
    void ResolveOwners(const std::string& folder, std::vector<OwnedFile>& files, uint64_t scan);

    // Forgets the files below `folder` that the scan `scan` did not meet.
    void DropUnseen(const std::string& folder, uint64_t scan);

    // "DOMAIN\name" of an owner, or its S-1-... text when it has no name; "" for 0.
    std::string AccountName(OwnerId owner);

    void Clear();

    uint64_t SecurityReads() const { return m_securityReads; }
    uint64_t AccountLookups() const { return m_accountLookups; }

private:
    struct Entry {
        uint64_t size;
        FILETIME written;
        FILETIME changed;
        OwnerId owner;
        uint64_t lastSeen;
    };
    struct Folder {
        std::unordered_map<std::string, Entry> files; // by lowercase name
        uint64_t lastSeen = 0;
    };
    std::string ReadOwnerSid(const std::string& path);
    OwnerId IdOf(const std::string& sid); // 0 for ""; m_ownersLock must not be held

    std::mutex m_filesLock;
    std::map<std::string, Folder> m_folders; // by lowercase path with a trailing backslash
    std::mutex m_ownersLock;
    std::vector<std::string> m_sids{std::string()}; // by id; id 0 is the unreadable owner
    std::map<std::string, OwnerId> m_idBySid;
    std::unordered_map<OwnerId, std::string> m_names;
    std::atomic<uint64_t> m_lastScan{0};
    std::atomic<uint64_t> m_securityReads{0};
    std::atomic<uint64_t> m_accountLookups{0};
};

// The path lowercased, as the cache keys it.
std::string FoldCase(const std::string& path);
