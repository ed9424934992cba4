// The quota service's durable record store.
//
// One folder holds the store: "quota.db", a snapshot of every record, and "quota.jnl", a journal
// of the saves and deletes made since that snapshot. Every journal entry is length-prefixed and
// checksummed and is flushed to disk (FlushFileBuffers) before Save or Delete returns, so an
// acknowledged change survives the process being killed at any instant. Open replays the journal
// over the snapshot; a torn or damaged entry is skipped (a damaged tail is cut off), never fatal.
// A file whose header is damaged, that is empty or that is older than its journal gives up every
// entry that still checks out; the damaged bytes are kept beside it ("quota.db.damaged-...")
// before the store is rewritten, and Recovery() tells what was lost. Only a file of a newer
// format stops Open. Anything else found at the store's file names (a folder, say) is moved aside.
// When the journal has grown large it is folded into a new snapshot, written to "quota.db.tmp",
// flushed and moved over "quota.db" in one step, after which the journal starts afresh.
//
// Records are kept packed (record_packing.h) on disk and in memory: a record of some 20 KB takes a
// few hundred bytes. Records are keyed by device, file and owner, compared without regard to
// case; an object's own quota has an empty owner. Every member is safe to call from many threads at
// once. One process at a time may open a folder's store (the journal is opened without write
// sharing).
//
// Usage figures (used space, high-water mark, AttrStatus100 and AttrStatus40000000) change often
// and are kept in memory by UpdateUsage; they are written to disk with the next snapshot, which
// Compact (call it now and then, e.g. after a round of scans) and Close write whenever usage has
// changed since the last snapshot, and with every Save of the record concerned. After a crash a
// record therefore shows the usage of its last save or snapshot; usage is measured again anyway.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "client/records.h"

// A store file that Open found damaged: what it recovered from it and where the damaged bytes
// were kept before the store was rewritten.
struct DamagedStoreFile {
    std::string name;    // "quota.db" or "quota.jnl"
    std::string problem; // what was wrong with it, in words
    uint32_t entriesRecovered = 0;
    uint32_t entriesDiscarded = 0;
    uint64_t bytesDiscarded = 0;
    std::string keptAs; // the copy of its damaged bytes; empty when none could be written
};

// What Open found on disk beyond clean entries: worth a line in the event log when not zero.
struct StoreRecovery {
    uint32_t entriesReplayed = 0;     // journal entries applied over the snapshot
    uint32_t entriesDiscarded = 0;    // damaged entries skipped (snapshot or journal)
    uint64_t bytesDiscarded = 0;      // bytes of damaged data skipped or cut off
    bool staleJournalIgnored = false; // a journal already folded into the snapshot
    std::vector<DamagedStoreFile> damagedFiles;
    std::vector<std::string> obstaclesMovedAside; // things in the folder that stood in the way
};

// The administrator's account of a recovery: empty when nothing was lost or moved.
std::string DescribeRecovery(const StoreRecovery& recovery);

class JournalFile;
enum class EntryKind : uint32_t;
struct ParsedEntries;

class QuotaStore {
public:
    QuotaStore();
    ~QuotaStore(); // closes the store (see Close)
    QuotaStore(const QuotaStore&) = delete;
    QuotaStore& operator=(const QuotaStore&) = delete;

    // Opens the store in `folder`, creating the folder and an empty store when missing, and
    // recovers from an interrupted run. Returns 0 or a Windows error code (ERROR_SHARING_VIOLATION
    // when another process has the store open; ERROR_FILE_CORRUPT when a file is not a store or
    // has a newer format, see Problem()). A store already open is closed first.
    DWORD Open(const std::string& folder);

    // Writes a snapshot when usage changed since the last one and closes the files. Records are
    // gone from memory afterwards; Save and Delete return ERROR_INVALID_HANDLE until Open.
    void Close();

    bool IsOpen() const;

    // Creates or replaces the record with the same device, file and owner, storing all of its
    // bytes as given. The stored record keeps the id of the record it replaces; a new record
    // takes the caller's id when that id is free, otherwise (0, or an id of another record) a
    // fresh one. The id used is written back into `record`. Returns 0 once the change is on disk,
    // ERROR_INVALID_PARAMETER for a record without a device, ERROR_INVALID_HANDLE when not open,
    // or the error of the failed write (the store is then unchanged).
    DWORD Save(AllotrixDbRec& record);

    // Deletes a record; 0 once the deletion is on disk, ERROR_FILE_NOT_FOUND when absent.
    DWORD Delete(const char* device, const char* file, const char* owner);

    bool Find(const char* device, const char* file, const char* owner, AllotrixDbRec& out) const;

    // Every record, ordered by record id.
    std::vector<AllotrixDbRec> Snapshot() const;

    // Calls `visit` with every record in the order of their ids, holding the store's lock: the
    // visitor must not call the store.
    void ForEachRecord(const std::function<void(const AllotrixDbRec&)>& visit) const;

    size_t Count() const;

    // Sets a record's used space and high-water mark, and its AttrStatus100 and
    // AttrStatus40000000 bits from `statusBits` (other bits of it are ignored). Kept in memory;
    // written to disk by the next snapshot (see above). Nothing happens for an unknown record.
    void UpdateUsage(const char* device, const char* file, const char* owner, uint64_t used,
                     uint64_t highWater, uint32_t statusBits);

    // Folds the journal into a new snapshot now when it holds any entry or usage has changed.
    DWORD Compact();

    // The journal size (bytes) above which a Save or Delete folds it into a snapshot first
    // (default 8 MB, and never less than the snapshot's own size).
    void SetCompactionThreshold(uint64_t bytes);

    StoreRecovery Recovery() const;
    // Why the last Open failed, naming the file; empty after a successful one.
    std::string Problem() const;

private:
    DWORD AppendLocked(EntryKind kind, const void* payload, uint32_t length);
    DWORD CompactLocked();
    DWORD LoadLocked(StoreRecovery& recovery, bool& rewrite);
    void ApplyEntries(const ParsedEntries& parsed, uint32_t version, StoreRecovery& recovery);
    void NoteDamage(const char* name, const std::vector<char>& bytes, std::string problem,
                    const ParsedEntries& parsed, StoreRecovery& recovery);
    void ApplySave(const AllotrixDbRec& record, std::vector<uint8_t> packed);
    void ApplyDelete(uint32_t id);
    void CloseLocked();
    uint32_t FindIdLocked(const char* device, const char* file, const char* owner) const;

    mutable std::mutex m_lock;
    std::string m_folder;
    std::unique_ptr<JournalFile> m_journal;
    struct StoredRecord {
        std::string key; // device, file and owner (see RecordKey)
        std::vector<uint8_t> packed;
    };
    std::map<uint32_t, StoredRecord> m_records;
    std::unordered_map<std::string, uint32_t> m_idByKey;
    uint32_t m_nextId = 1;
    uint64_t m_generation = 0;
    uint64_t m_compactionThreshold = 8ull << 20;
    uint64_t m_snapshotBytes = 0;
    bool m_usageDirty = false;
    bool m_journalNeedsRestart = false;
    StoreRecovery m_recovery;
    std::string m_problem;
};
