#include "services/store/store_format.h"

#include <cstring>

#include "client/records.h"
#include "services/store/checksum.h"
#include "services/store/record_packing.h"

namespace {

constexpr char kMagic[8] = {'K', 'V', 'Q', 'S', 'T', 'O', 'R', 'E'};
constexpr uint32_t kEntryMagic = 0x4E45514B; // "KQEN"

uint32_t HeaderCrc(const StoreFileHeader& header) {
    return Crc32(&header, offsetof(StoreFileHeader, crc));
}

uint32_t EntryCrc(const EntryFrame& frame, const void* payload) {
    uint32_t crc = Crc32(&frame.kind, sizeof frame.kind);
    crc = Crc32(&frame.length, sizeof frame.length, crc);
    return Crc32(payload, frame.length, crc);
}

bool LengthFits(const EntryFrame& frame, uint32_t version) {
    switch (static_cast<EntryKind>(frame.kind)) {
    case EntryKind::Save:
        return version == kPlainRecordsVersion ? frame.length == sizeof(AllotrixDbRec)
                                               : frame.length <= kLargestPackedRecord;
    case EntryKind::Delete:
        return frame.length == sizeof(uint32_t);
    }
    return false;
}

bool ValidEntryAt(const std::vector<char>& file, size_t pos, uint32_t version) {
    EntryFrame frame;
    if (file.size() - pos < sizeof frame)
        return false;
    memcpy(&frame, file.data() + pos, sizeof frame);
    if (frame.magic != kEntryMagic || frame.length == 0 || !LengthFits(frame, version))
        return false;
    if (file.size() - pos - sizeof frame < frame.length)
        return false;
    return EntryCrc(frame, file.data() + pos + sizeof frame) == frame.crc;
}

// Whether the bytes from `pos` to the end are the start of an entry whose write was cut short.
bool IsCutShort(const std::vector<char>& file, size_t pos, uint32_t version) {
    EntryFrame frame;
    if (file.size() - pos < sizeof frame)
        return true;
    memcpy(&frame, file.data() + pos, sizeof frame);
    return frame.magic == kEntryMagic && LengthFits(frame, version) &&
           file.size() - pos - sizeof frame < frame.length;
}

size_t NextValidEntry(const std::vector<char>& file, size_t from, uint32_t version) {
    for (size_t pos = from; pos + sizeof(EntryFrame) <= file.size(); ++pos) {
        if (ValidEntryAt(file, pos, version))
            return pos;
    }
    return file.size();
}

} // namespace

StoreFileHeader MakeHeader(StoreFileKind kind, uint64_t generation, uint32_t nextId) {
    StoreFileHeader header{};
    memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kStoreFormatVersion;
    header.kind = static_cast<uint32_t>(kind);
    header.recordSize = sizeof(AllotrixDbRec);
    header.nextId = nextId;
    header.generation = generation;
    header.crc = HeaderCrc(header);
    return header;
}

HeaderCheck CheckHeader(const std::vector<char>& file, StoreFileKind kind, StoreFileHeader& out) {
    if (file.size() < sizeof out)
        return HeaderCheck::Damaged;
    memcpy(&out, file.data(), sizeof out);
    if (memcmp(out.magic, kMagic, sizeof kMagic) != 0)
        return HeaderCheck::Foreign;
    if (out.crc != HeaderCrc(out))
        return HeaderCheck::Damaged;
    if (out.version > kStoreFormatVersion)
        return HeaderCheck::TooNew;
    if (out.kind != static_cast<uint32_t>(kind) || out.recordSize != sizeof(AllotrixDbRec))
        return HeaderCheck::Foreign;
    return HeaderCheck::Valid;
}

void AppendEntry(std::vector<char>& out, EntryKind kind, const void* payload, uint32_t length) {
    EntryFrame frame{kEntryMagic, static_cast<uint32_t>(kind), length, 0};
    frame.crc = EntryCrc(frame, payload);
    const char* framebytes = reinterpret_cast<const char*>(&frame);
    out.insert(out.end(), framebytes, framebytes + sizeof frame);
    out.insert(out.end(), static_cast<const char*>(payload),
               static_cast<const char*>(payload) + length);
}

ParsedEntries ParseEntries(const std::vector<char>& file, uint32_t version) {
    ParsedEntries parsed;
    size_t pos = sizeof(StoreFileHeader);
    parsed.validEnd = pos;
    while (pos < file.size()) {
        if (!ValidEntryAt(file, pos, version)) {
            size_t next = NextValidEntry(file, pos + 1, version);
            ++parsed.damagedRuns;
            parsed.damagedBytes += next - pos;
            if (next == file.size()) {
                parsed.damagedTail = true;
                parsed.tornTail = IsCutShort(file, pos, version);
                break;
            }
            pos = next;
        }
        EntryFrame frame;
        memcpy(&frame, file.data() + pos, sizeof frame);
        parsed.entries.push_back(
            {static_cast<EntryKind>(frame.kind), file.data() + pos + sizeof frame, frame.length});
        pos += sizeof frame + frame.length;
        parsed.validEnd = pos;
    }
    return parsed;
}
