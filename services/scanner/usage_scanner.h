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
// Under Wine a process lists one folder at a time, whatever its threads (docs/wine.md), while
// separate processes list side by side. Sizes-only scans of larger trees therefore walk in helper
// processes when the scanner is given the helper program (UseWalkHelpers): the first levels of a
// tree are listed here; once enough folders wait, the helpers take whole subtrees (handing back
// what lies beyond a budget of entries) while the scanning thread lists folders too. A helper
// that cannot start or fails leaves its subtree to this process, with the same result. Owner
// scans stay in this process: the owner cache lives here, a helper would have to send every
// file back for it, and they are slow only on a first scan, whose time goes to reading owners.
//
// One scanner may serve many threads at once; its caches and its helpers are shared and locked.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
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
class WalkHelpers;

class UsageScanner {
public:
    UsageScanner();
    ~UsageScanner();
    UsageScanner(const UsageScanner&) = delete;
    UsageScanner& operator=(const UsageScanner&) = delete;

    // Lets sizes-only scans walk in up to `count` helper processes (0: one per processor, at most
    // 4) that run `program` (axscan.exe). They start when a first tree is large enough to share
    // and end with the scanner. Call before the first Scan.
    void UseWalkHelpers(const std::string& program, unsigned count = 0);

    // Scans `folder` (a path such as "C:\Data"; a trailing backslash is allowed).
    UsageResult Scan(const std::string& folder, bool attributeOwners);

    // Security descriptors read and SIDs looked up since construction: a rescan of an unchanged
    // tree adds nothing to either.
    uint64_t SecurityReads() const;
    uint64_t AccountLookups() const;
    // Subtrees walked by helper processes since construction.
    uint64_t HelperWalks() const { return m_helperWalks; }

    // For tests: `sent` is called with a helper's process id each time a subtree has been handed
    // to that helper, before its answer is read.
    void WatchHelperRequests(std::function<void(DWORD processId)> sent);

    // Drops every cached owner (names of SIDs are kept).
    void ForgetOwners();

private:
    std::unique_ptr<OwnerCache> m_owners;
    std::unique_ptr<WalkHelpers> m_helpers;
    std::function<void(DWORD)> m_helperRequestSent;
    std::atomic<uint64_t> m_helperWalks{0};
};

// The helper program where it is installed: axscan.exe in the folder of the running program.
std::string WalkHelperBesideThisProgram();
