// Layout of the store's two files. Each begins with a StoreFileHeader and continues with
// entries: an EntryFrame followed by `length` payload bytes. A save entry carries an
// AllotrixDbRec, packed (record_packing.h) from version 2 on and as its plain bytes in
// version 1; a delete entry carries the 32-bit id of the record deleted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t kStoreFormatVersion = 2;
constexpr uint32_t kPlainRecordsVersion = 1;

enum class StoreFileKind : uint32_t { Snapshot = 1, Journal = 2 };
enum class EntryKind : uint32_t { Save = 1, Delete = 2 };

struct StoreFileHeader {
    char magic[8];
    uint32_t version;
    uint32_t kind;       // StoreFileKind
    uint32_t recordSize; // sizeof(AllotrixDbRec) of the writer
    uint32_t nextId;     // first record id never handed out (snapshot only)
    uint64_t generation; // a journal applies to the snapshot of the same generation
    uint32_t reserved;
    uint32_t crc; // of the bytes above
};
static_assert(sizeof(StoreFileHeader) == 40);

struct EntryFrame {
    uint32_t magic;
    uint32_t kind;   // EntryKind
    uint32_t length; // payload bytes
    uint32_t crc;    // of kind, length and payload
};
static_assert(sizeof(EntryFrame) == 16);

enum class HeaderCheck { Valid, Damaged, Foreign, TooNew };

StoreFileHeader MakeHeader(StoreFileKind kind, uint64_t generation, uint32_t nextId);
HeaderCheck CheckHeader(const std::vector<char>& file, StoreFileKind kind, StoreFileHeader& out);

void AppendEntry(std::vector<char>& out, EntryKind kind, const void* payload, uint32_t length);

struct ParsedEntry {
    EntryKind kind;
    const char* payload;
    uint32_t length;
};

struct ParsedEntries {
    std::vector<ParsedEntry> entries;
    size_t validEnd = 0;       // offset just after the last valid entry
    uint32_t damagedRuns = 0;  // runs of unreadable bytes skipped or at the end
    uint64_t damagedBytes = 0; // their total size
    bool damagedTail = false;  // the file ends in unreadable bytes (cut them at validEnd)
    // The unreadable end is a last entry cut short (a write the process did not finish), not
    // damage to written bytes.
    bool tornTail = false;
};

// Reads the entries of `file`, written in format `version`, after its header. Unreadable bytes
// (a torn or damaged entry) are skipped up to the next valid entry; when none follows they form
// the damaged tail.
ParsedEntries ParseEntries(const std::vector<char>& file, uint32_t version);
