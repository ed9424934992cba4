#include "monitor/monitor_entry.h"

#include <atomic>

namespace monitor {

namespace {

constexpr size_t kChunkSize = 1024 * 1024;

// Each entry is preceded by the pool it came from (none: the process heap) and the number of
// holds on it, in a header that keeps the entry aligned as operator new must.
struct alignas(__STDCPP_DEFAULT_NEW_ALIGNMENT__) EntryHeader {
    EntryPool* pool;
    std::atomic<uint32_t> holds;
};

EntryHeader* HeaderOf(void* entry) {
    return static_cast<EntryHeader*>(entry) - 1;
}

void* AllocateIn(EntryPool* pool, size_t size) noexcept {
    const size_t total = sizeof(EntryHeader) + size;
    void* block = nullptr;
    if (!pool)
        block = HeapAlloc(GetProcessHeap(), 0, total);
    else if (total <= EntryPool::kBlockSize)
        block = pool->Allocate();
    if (!block)
        return nullptr;
    auto* header = new (block) EntryHeader{pool, 1};
    return header + 1;
}

void* AllocateOrThrow(EntryPool* pool, size_t size) {
    if (void* entry = AllocateIn(pool, size))
        return entry;
    throw std::bad_alloc();
}

} // namespace

static_assert(sizeof(EntryHeader) + sizeof(MonitorEntry) <= EntryPool::kBlockSize);

EntryPool::~EntryPool() {
    while (m_chunks) {
        Chunk* next = m_chunks->next;
        VirtualFree(m_chunks, 0, MEM_RELEASE);
        m_chunks = next;
    }
}

void* EntryPool::Allocate() noexcept {
    AcquireSRWLockExclusive(&m_lock);
    void* block = m_free;
    if (m_free) {
        m_free = m_free->next;
    } else {
        if (m_unused == m_end) {
            // A chunk starts with the link to the chunk before it, in a block of its own.
            if (auto* chunk = static_cast<Chunk*>(
                    VirtualAlloc(nullptr, kChunkSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE))) {
                chunk->next = m_chunks;
                m_chunks = chunk;
                m_unused = reinterpret_cast<char*>(chunk) + kBlockSize;
                m_end = reinterpret_cast<char*>(chunk) + kChunkSize;
            }
        }
        if (m_unused != m_end) {
            block = m_unused;
            m_unused += kBlockSize;
        }
    }
    ReleaseSRWLockExclusive(&m_lock);
    return block;
}

void EntryPool::Free(void* block) noexcept {
    AcquireSRWLockExclusive(&m_lock);
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = m_free;
    m_free = freed;
    ReleaseSRWLockExclusive(&m_lock);
}

// Compared eight bytes at a time: under Wine the C library's memcmp compares byte by byte, which
// 100,000 records of a refresh would feel.
bool SameRecord(const AllotrixBaseDbRec& a, const AllotrixBaseDbRec& b) {
    static_assert(sizeof a % sizeof(uint64_t) == 0);
    const auto* left = reinterpret_cast<const unsigned char*>(&a);
    const auto* right = reinterpret_cast<const unsigned char*>(&b);
    for (size_t at = 0; at < sizeof a; at += sizeof(uint64_t)) {
        uint64_t x, y;
        __builtin_memcpy(&x, left + at, sizeof x);
        __builtin_memcpy(&y, right + at, sizeof y);
        if (x != y)
            return false;
    }
    return true;
}

void* MonitorEntry::operator new(size_t size) {
    return AllocateOrThrow(nullptr, size);
}

void* MonitorEntry::operator new(size_t size, EntryPool& pool) {
    return AllocateOrThrow(&pool, size);
}

void* MonitorEntry::operator new(size_t size, EntryPool& pool, const std::nothrow_t&) noexcept {
    return AllocateIn(&pool, size);
}

void MonitorEntry::operator delete(void* entry) noexcept {
    if (!entry)
        return;
    EntryHeader* header = HeaderOf(entry);
    if (header->pool)
        header->pool->Free(header);
    else
        HeapFree(GetProcessHeap(), 0, header);
}

void MonitorEntry::Hold(MonitorEntry* entry) noexcept {
    HeaderOf(entry)->holds.fetch_add(1, std::memory_order_relaxed);
}

bool MonitorEntry::Release(MonitorEntry* entry) noexcept {
    // The last hold must see every write made under the others.
    return HeaderOf(entry)->holds.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

void MonitorEntry::operator delete(void* entry, EntryPool&) noexcept {
    operator delete(entry);
}

void MonitorEntry::operator delete(void* entry, EntryPool&, const std::nothrow_t&) noexcept {
    operator delete(entry);
}

} // namespace monitor
