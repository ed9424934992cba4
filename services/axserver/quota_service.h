// The quota records of the server with their usage, kept current from the file system.
//
// Records live durably in the store; this class keeps an index of their listed part with the
// measured usage and status, measures each object's folder on worker threads, and rescans an
// object whenever the folder watcher reports a change below it or a client asks for a scan.
// Start returns once the records are indexed; watching and the first scans follow in the
// background.
#pragma once

#include "client/records.h"
#include "services/axserver/listed_record.h"
#include "services/scanner/folder_watcher.h"
#include "services/scanner/usage_scanner.h"
#include "services/store/quota_store.h"

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Where an enumeration of the listed records stands: just after the record with these keys.
struct ListPosition {
    std::string object, owner;
    bool started = false;
};

class QuotaService {
public:
    QuotaService();
    ~QuotaService();
    QuotaService(const QuotaService&) = delete;
    QuotaService& operator=(const QuotaService&) = delete;

    // Lets sizes-only scans walk in helper processes that run `program` (axscan.exe); by default
    // they run the one beside this program, if there is one. Call before Start.
    void UseWalkHelpers(const std::string& program);

    // Opens the store in `storeFolder` and queues a first scan of every object, which also
    // starts watching its folder.
    DWORD Start(const std::string& storeFolder);
    void Stop();
    // What opening the store found and recovered; why it failed when Start failed.
    StoreRecovery Recovery() const { return m_store.Recovery(); }
    std::string StoreProblem() const { return m_store.Problem(); }

    // Calls `visit` with up to `count` listed records after `position` (each packed as zero runs),
    // in the order of their object and owner, and moves `position` past them; returns true when
    // no record follows. `status` is 0, or ERROR_NONE_MAPPED for a record whose owner account is
    // unknown. A record saved or deleted meanwhile is listed or not according to where it falls.
    // `visit` runs under the service's lock and must not call the service.
    using ListVisitor = std::function<void(uint32_t status, const std::vector<uint8_t>& packed)>;
    bool ListNext(ListPosition& position, size_t count, const ListVisitor& visit) const;
    DWORD Get(std::string device, std::string file, const std::string& owner,
              AllotrixDbRec& out) const;
    // Validates and stores the record; on success `record` holds what was stored.
    DWORD Save(AllotrixDbRec& record);
    DWORD Delete(std::string device, std::string file, const std::string& owner);
    DWORD Scan(std::string device, std::string file);

private:
    struct Entry {
        ListedRecord record;
        std::string account; // the owner as the scanner names accounts; empty for the object
        bool unmapped = false;
    };
    struct ObjectState {
        std::string folder;
        bool queued = false;
        bool queuedForChange = false;
        bool scanning = false;
        bool scanAgain = false; // changed while being scanned
    };
    // Scans after a change or a client's request come before the first scans of the start.
    enum class ScanPriority { Change, Background };

    // The owner name a quota of `owner` on the object is stored under: the account's full name.
    std::string StoredOwnerLocked(const std::string& objectKey, const std::string& owner) const;
    void IndexLocked(const AllotrixBaseDbRec& record, const std::string& account, bool unmapped);
    void QueueLocked(const std::string& objectKey, ScanPriority priority);
    bool NextScanLocked(std::string& objectKey);
    void ApplyStatusLocked(const std::string& objectKey);
    void ScanLoop();
    void ScanObject(const std::string& objectKey);
    void OnFolderChange(const std::string& folder, FolderChange change);
    uint64_t MeasureNow(const std::string& folder, const std::string& account);
    DWORD ResolveQuota(AllotrixDbRec& record, const std::string& folder, const std::string& account,
                       uint64_t used);

    QuotaStore m_store;
    UsageScanner m_scanner;
    std::unique_ptr<FolderWatcher> m_watcher;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    // Keyed by object (device and file in small letters), then owner in small letters: an
    // object's own record (empty owner) comes first.
    std::map<std::string, std::map<std::string, Entry>> m_entries;
    std::map<std::string, ObjectState> m_objects;
    std::deque<std::string> m_changed;
    std::deque<std::string> m_background;
    bool m_stopping = false;
    DWORD m_lastCompact = 0;
    // Two workers: one large rescan does not hold up the small ones behind it.
    std::thread m_workers[2];
};
