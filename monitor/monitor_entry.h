// One quota record as the monitor lists it, with the name of the server it came from, and the
// heaps the entries of a list live in.
#pragma once

#include "client/records.h"
#include "ui/handles.h"

#include <windows.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace monitor {

struct MonitorEntry {
    std::string serverName;
    AllotrixBaseDbRec record;

    // `new (heap) MonitorEntry` places an entry in an entry heap (throwing std::bad_alloc when it
    // is full), `new (heap, std::nothrow) MonitorEntry` yields null instead; a plain new takes
    // the process heap. Delete finds the heap of any entry.
    static void* operator new(size_t size);
    static void* operator new(size_t size, HANDLE heap);
    static void* operator new(size_t size, HANDLE heap, const std::nothrow_t&) noexcept;
    static void operator delete(void* entry) noexcept;
    static void operator delete(void* entry, HANDLE heap) noexcept;
    static void operator delete(void* entry, HANDLE heap, const std::nothrow_t&) noexcept;
};

// Entries in the order the server returned them. Each entry lives on a heap, so a pointer to it
// (held by a grid row) stays valid until the list drops the entry.
using MonitorList = std::vector<std::unique_ptr<MonitorEntry>>;

// A heap for the entries of one list. A list is filled in one go and dropped in one go (each
// refresh result replaces the whole displayed list), so with a heap of its own a dropped list
// leaves an empty heap, which gives its memory back to the system. Among the program's other
// allocations it left ten thousand holes instead: 10 MB for 10,000 records stayed in use after
// every refresh. The heap must outlive its entries.
struct EntryHeapTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE heap) { HeapDestroy(heap); }
};
using EntryHeap = ui::UniqueHandle<HANDLE, EntryHeapTraits>;
EntryHeap NewEntryHeap(); // empty when the system refuses one

} // namespace monitor
