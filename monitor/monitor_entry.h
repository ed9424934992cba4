// One quota record as the monitor lists it, with the name of the server it came from, the shared
// holds lists keep on entries, and the heaps the entries of a list live in.
#pragma once

#include "client/records.h"

#include <windows.h>

#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace monitor {

class EntryPool;

struct MonitorEntry {
    std::string serverName;
    AllotrixBaseDbRec record;

    // `new (pool) MonitorEntry` places an entry in an entry pool (throwing std::bad_alloc when
    // the system refuses memory), `new (pool, std::nothrow) MonitorEntry` yields null instead; a
    // plain new takes the process heap. Delete finds the pool of any entry.
    static void* operator new(size_t size);
    static void* operator new(size_t size, EntryPool& pool);
    static void* operator new(size_t size, EntryPool& pool, const std::nothrow_t&) noexcept;
    static void operator delete(void* entry) noexcept;
    static void operator delete(void* entry, EntryPool& pool) noexcept;
    static void operator delete(void* entry, EntryPool& pool, const std::nothrow_t&) noexcept;

    // Counts one more hold on an entry made with new; Release counts one less and tells whether
    // that was the last, which then deletes the entry. A new entry has one hold.
    static void Hold(MonitorEntry* entry) noexcept;
    static bool Release(MonitorEntry* entry) noexcept;
};

// A hold on an entry made with new, which a copy shares: the list of a refresh shares the entries
// of the list before it whose record did not change, so that 100,000 unchanged quotas take their
// memory once. The entry goes with its last hold. A shared entry is never changed: an edited
// record takes a new entry.
class EntryRef {
public:
    EntryRef() = default;
    EntryRef(std::unique_ptr<MonitorEntry> entry) noexcept : m_entry(entry.release()) {}
    EntryRef(const EntryRef& other) noexcept : m_entry(other.m_entry) {
        if (m_entry)
            MonitorEntry::Hold(m_entry);
    }
    EntryRef(EntryRef&& other) noexcept : m_entry(std::exchange(other.m_entry, nullptr)) {}
    EntryRef& operator=(EntryRef other) noexcept {
        std::swap(m_entry, other.m_entry);
        return *this;
    }
    ~EntryRef() {
        if (m_entry && MonitorEntry::Release(m_entry))
            delete m_entry;
    }

    MonitorEntry* get() const { return m_entry; }
    MonitorEntry* operator->() const { return m_entry; }
    MonitorEntry& operator*() const { return *m_entry; }
    explicit operator bool() const { return m_entry != nullptr; }

private:
    MonitorEntry* m_entry = nullptr;
};

// Whether two records are the same, byte for byte.
bool SameRecord(const AllotrixBaseDbRec& a, const AllotrixBaseDbRec& b);

// Entries in the order the server returned them. Each entry lives on a heap, so a pointer to it
// (held by a grid row) stays valid until the list drops the entry.
using MonitorList = std::vector<EntryRef>;

// The memory for the entries of one list. A list is filled in one go and dropped in one go (each
// refresh result replaces the whole displayed list), and the next list is about as long: a
// dropped list's entries go back to the pool for the next one, and the pool keeps its memory
// until it is destroyed. Given back to the system instead, that memory had to be faulted in
// again on every refresh, 2,500 pages for 10,000 records, which under Wine cost more time than
// reading the records. Kept among the program's other allocations, it left ten thousand holes
// there. Entries may be made and dropped on different threads; the pool must outlive them.
class EntryPool {
public:
    EntryPool() = default;
    ~EntryPool();
    EntryPool(const EntryPool&) = delete;
    EntryPool& operator=(const EntryPool&) = delete;

    // A block for one entry of up to kBlockSize bytes; null when the system refuses memory.
    void* Allocate() noexcept;
    void Free(void* block) noexcept;

    static constexpr size_t kBlockSize = 1024;

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    struct Chunk {
        Chunk* next;
    };
    SRWLOCK m_lock = SRWLOCK_INIT;
    FreeBlock* m_free = nullptr;
    Chunk* m_chunks = nullptr; // the newest; each links to the one before

    char* m_unused = nullptr; // the rest of the newest chunk, never handed out yet
    char* m_end = nullptr;
};

} // namespace monitor
