#include "monitor/monitor_entry.h"

namespace monitor {

namespace {

// Each entry is preceded by the heap it came from, in a header that keeps the entry aligned as
// operator new must.
struct alignas(__STDCPP_DEFAULT_NEW_ALIGNMENT__) EntryHeader {
    HANDLE heap;
};

void* AllocateIn(HANDLE heap, size_t size) noexcept {
    if (!heap)
        heap = GetProcessHeap();
    auto* header = static_cast<EntryHeader*>(HeapAlloc(heap, 0, sizeof(EntryHeader) + size));
    if (!header)
        return nullptr;
    header->heap = heap;
    return header + 1;
}

void* AllocateOrThrow(HANDLE heap, size_t size) {
    if (void* entry = AllocateIn(heap, size))
        return entry;
    throw std::bad_alloc();
}

} // namespace

void* MonitorEntry::operator new(size_t size) {
    return AllocateOrThrow(nullptr, size);
}

void* MonitorEntry::operator new(size_t size, HANDLE heap) {
    return AllocateOrThrow(heap, size);
}

void* MonitorEntry::operator new(size_t size, HANDLE heap, const std::nothrow_t&) noexcept {
    return AllocateIn(heap, size);
}

void MonitorEntry::operator delete(void* entry) noexcept {
    if (!entry)
        return;
    auto* header = static_cast<EntryHeader*>(entry) - 1;
    HeapFree(header->heap, 0, header);
}

void MonitorEntry::operator delete(void* entry, HANDLE) noexcept {
    operator delete(entry);
}

void MonitorEntry::operator delete(void* entry, HANDLE, const std::nothrow_t&) noexcept {
    operator delete(entry);
}

EntryHeap NewEntryHeap() {
    return EntryHeap(HeapCreate(0, 0, 0));
}

} // namespace monitor
