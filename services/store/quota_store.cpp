#include "services/store/quota_store.h"

#include <cstring>

#include "services/store/record_packing.h"
#include "services/store/store_files.h"
#include "services/store/store_format.h"

namespace {

constexpr char kSnapshotName[] = "\\quota.db";
constexpr char kJournalName[] = "\\quota.jnl";

void AppendUpper(std::string& key, const char* text) {
    size_t start = key.size();
    key += text ? text : "";
    if (key.size() > start)
        CharUpperBuffA(key.data() + start, static_cast<DWORD>(key.size() - start));
}

// Device, file and owner in one string that compares without regard to case.
std::string RecordKey(const char* device, const char* file, const char* owner) {
    std::string key;
    AppendUpper(key, device);
    key += '\n';
    AppendUpper(key, file);
    key += '\n';
    AppendUpper(key, owner);
    return key;
}

std::string RecordKey(const AllotrixDbRec& record) {
    char file[kFileNameSize];
    return RecordKey(record.GetDeviceName(), record.GetFileName(file), record.GetFileOwner());
}

std::vector<char> HeaderBytes(StoreFileKind kind, uint64_t generation, uint32_t nextId) {
    StoreFileHeader header = MakeHeader(kind, generation, nextId);
    const char* bytes = reinterpret_cast<const char*>(&header);
    return std::vector<char>(bytes, bytes + sizeof header);
}

} // namespace

QuotaStore::QuotaStore() = default;

QuotaStore::~QuotaStore() {
    Close();
}

DWORD QuotaStore::Open(const std::string& folder) {
    std::lock_guard lock(m_lock);
    CloseLocked();
    if (folder.empty())
        return ERROR_INVALID_PARAMETER;
    std::string trimmed = folder;
    while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    if (DWORD error = CreateFolderTree(trimmed))
        return error;
    m_folder = trimmed;
    m_journal = std::make_unique<JournalFile>();
    DWORD error = m_journal->Open(m_folder + kJournalName);
    if (!error) {
        DeleteFileA((m_folder + kSnapshotName + std::string(".tmp")).c_str());
        bool rewrite = false;
        error = LoadLocked(m_recovery, rewrite);
        if (!error && rewrite)
            error = CompactLocked();
    }
    if (error)
        CloseLocked();
    return error;
}

DWORD QuotaStore::LoadLocked(StoreRecovery& recovery, bool& rewrite) {
    std::vector<char> bytes;
    StoreFileHeader header;
    DWORD error = ReadWholeFile(m_folder + kSnapshotName, bytes);
    bool haveSnapshot = error == 0;
    if (error && error != ERROR_FILE_NOT_FOUND)
        return error;
    if (haveSnapshot) {
        if (CheckHeader(bytes, StoreFileKind::Snapshot, header) != HeaderCheck::Valid)
            return ERROR_FILE_CORRUPT;
        ParsedEntries parsed = ParseEntries(bytes, header.version);
        ApplyEntries(parsed, header.version, recovery);
        rewrite = parsed.damagedRuns > 0 || header.version < kStoreFormatVersion;
        m_generation = header.generation;
        m_nextId = std::max(m_nextId, header.nextId);
        m_snapshotBytes = bytes.size();
    }

    if ((error = m_journal->ReadAll(bytes)) != 0)
        return error;
    HeaderCheck check = CheckHeader(bytes, StoreFileKind::Journal, header);
    bool journalEmpty = bytes.size() <= sizeof header;
    if (check == HeaderCheck::Damaged && journalEmpty) {
        // A journal being created or restarted when the process ended: nothing is lost.
        if (!haveSnapshot) {
            m_generation = 0;
            rewrite = true;
            return 0;
        }
        return m_journal->Restart(HeaderBytes(StoreFileKind::Journal, m_generation, 0).data(),
                                  sizeof header);
    }
    if (check != HeaderCheck::Valid)
        return ERROR_FILE_CORRUPT;
    if (!haveSnapshot) {
        m_generation = header.generation;
        rewrite = true;
    }
    if (header.generation < m_generation) {
        // Already folded into the snapshot; the process ended before restarting the journal.
        recovery.staleJournalIgnored = true;
        return m_journal->Restart(HeaderBytes(StoreFileKind::Journal, m_generation, 0).data(),
                                  sizeof header);
    }
    if (header.generation > m_generation)
        return ERROR_FILE_CORRUPT;

    ParsedEntries parsed = ParseEntries(bytes, header.version);
    ApplyEntries(parsed, header.version, recovery);
    recovery.entriesReplayed += static_cast<uint32_t>(parsed.entries.size());
    if (parsed.damagedTail) {
        if ((error = m_journal->TruncateTo(parsed.validEnd)) != 0)
            return error;
    }
    if (parsed.damagedRuns > 0 || header.version < kStoreFormatVersion)
        rewrite = true;
    return 0;
}

void QuotaStore::ApplyEntries(const ParsedEntries& parsed, uint32_t version,
                              StoreRecovery& recovery) {
    AllotrixDbRec record;
    for (const ParsedEntry& entry : parsed.entries) {
        if (entry.kind == EntryKind::Save) {
            if (version == kPlainRecordsVersion) {
                memcpy(static_cast<void*>(&record), entry.payload, sizeof record);
                ApplySave(record, PackRecord(record));
            } else if (UnpackRecord(entry.payload, entry.length, record)) {
                const auto* bytes = reinterpret_cast<const uint8_t*>(entry.payload);
                ApplySave(record, PackedRecord(bytes, bytes + entry.length));
            } else {
                ++recovery.entriesDiscarded;
                recovery.bytesDiscarded += entry.length;
            }
        } else {
            uint32_t id;
            memcpy(&id, entry.payload, sizeof id);
            ApplyDelete(id);
        }
    }
    recovery.entriesDiscarded += parsed.damagedRuns;
    recovery.bytesDiscarded += parsed.damagedBytes;
}

void QuotaStore::Close() {
    std::lock_guard lock(m_lock);
    CloseLocked();
}

void QuotaStore::CloseLocked() {
    if (m_journal && m_usageDirty)
        CompactLocked();
    m_journal.reset();
    m_folder.clear();
    m_records.clear();
    m_idByKey.clear();
    m_nextId = 1;
    m_generation = 0;
    m_snapshotBytes = 0;
    m_usageDirty = false;
    m_journalNeedsRestart = false;
    m_recovery = {};
}

bool QuotaStore::IsOpen() const {
    std::lock_guard lock(m_lock);
    return m_journal != nullptr;
}

void QuotaStore::ApplySave(const AllotrixDbRec& record, std::vector<uint8_t> packed) {
    uint32_t id = record.GetRecordId();
    std::string key = RecordKey(record);
    auto byKey = m_idByKey.find(key);
    if (byKey != m_idByKey.end() && byKey->second != id)
        m_records.erase(byKey->second);
    auto byId = m_records.find(id);
    if (byId != m_records.end())
        m_idByKey.erase(byId->second.key);
    m_idByKey[key] = id;
    m_records[id] = StoredRecord{std::move(key), std::move(packed)};
    if (id >= m_nextId)
        m_nextId = id + 1;
}

void QuotaStore::ApplyDelete(uint32_t id) {
    auto byId = m_records.find(id);
    if (byId == m_records.end())
        return;
    m_idByKey.erase(byId->second.key);
    m_records.erase(byId);
    if (id >= m_nextId)
        m_nextId = id + 1;
}

uint32_t QuotaStore::FindIdLocked(const char* device, const char* file, const char* owner) const {
    auto found = m_idByKey.find(RecordKey(device, file, owner));
    return found == m_idByKey.end() ? 0 : found->second;
}

DWORD QuotaStore::AppendLocked(EntryKind kind, const void* payload, uint32_t length) {
    if (m_journalNeedsRestart) {
        if (DWORD error =
                m_journal->Restart(HeaderBytes(StoreFileKind::Journal, m_generation, 0).data(),
                                   sizeof(StoreFileHeader)))
            return error;
        m_journalNeedsRestart = false;
    }
    std::vector<char> entry;
    AppendEntry(entry, kind, payload, length);
    if (m_journal->Size() + entry.size() > std::max(m_compactionThreshold, m_snapshotBytes))
        CompactLocked(); // on failure the journal simply keeps growing
    if (m_journalNeedsRestart)
        return ERROR_WRITE_FAULT;
    return m_journal->Append(entry);
}

DWORD QuotaStore::Save(AllotrixDbRec& record) {
    std::lock_guard lock(m_lock);
    if (!m_journal)
        return ERROR_INVALID_HANDLE;
    if (record.GetDeviceName()[0] == '\0')
        return ERROR_INVALID_PARAMETER;
    char file[kFileNameSize];
    uint32_t id =
        FindIdLocked(record.GetDeviceName(), record.GetFileName(file), record.GetFileOwner());
    if (id == 0) {
        id = record.GetRecordId();
        if (id == 0 || m_records.count(id) != 0)
            id = m_nextId;
    }
    AllotrixDbRec stored = record;
    stored.SetRecordId(id);
    PackedRecord packed = PackRecord(stored);
    if (DWORD error = AppendLocked(EntryKind::Save, packed.data(), uint32_t(packed.size())))
        return error;
    ApplySave(stored, std::move(packed));
    record.SetRecordId(id);
    return 0;
}

DWORD QuotaStore::Delete(const char* device, const char* file, const char* owner) {
    std::lock_guard lock(m_lock);
    if (!m_journal)
        return ERROR_INVALID_HANDLE;
    uint32_t id = FindIdLocked(device, file, owner);
    if (id == 0)
        return ERROR_FILE_NOT_FOUND;
    if (DWORD error = AppendLocked(EntryKind::Delete, &id, sizeof id))
        return error;
    ApplyDelete(id);
    return 0;
}

bool QuotaStore::Find(const char* device, const char* file, const char* owner,
                      AllotrixDbRec& out) const {
    std::lock_guard lock(m_lock);
    uint32_t id = FindIdLocked(device, file, owner);
    if (id == 0)
        return false;
    const PackedRecord& packed = m_records.at(id).packed;
    return UnpackRecord(packed.data(), packed.size(), out);
}

std::vector<AllotrixDbRec> QuotaStore::Snapshot() const {
    std::vector<AllotrixDbRec> records;
    ForEachRecord([&records](const AllotrixDbRec& record) { records.push_back(record); });
    return records;
}

void QuotaStore::ForEachRecord(const std::function<void(const AllotrixDbRec&)>& visit) const {
    std::lock_guard lock(m_lock);
    AllotrixDbRec record;
    for (const auto& [id, stored] : m_records)
        if (UnpackRecord(stored.packed.data(), stored.packed.size(), record))
            visit(record);
}

size_t QuotaStore::Count() const {
    std::lock_guard lock(m_lock);
    return m_records.size();
}

void QuotaStore::UpdateUsage(const char* device, const char* file, const char* owner, uint64_t used,
                             uint64_t highWater, uint32_t statusBits) {
    std::lock_guard lock(m_lock);
    uint32_t id = FindIdLocked(device, file, owner);
    if (id == 0)
        return;
    StoredRecord& stored = m_records.at(id);
    AllotrixDbRec record;
    if (!UnpackRecord(stored.packed.data(), stored.packed.size(), record))
        return;
    uint32_t attributes =
        (record.GetAttributes() & ~kAttrScanStatusBits) | (statusBits & kAttrScanStatusBits);
    if (record.GetUsedQuota() == used && record.GetHighWaterMark() == highWater &&
        record.GetAttributes() == attributes)
        return;
    record.SetUsedQuota(used);
    record.SetHighWaterMark(highWater);
    record.SetAttributes(attributes);
    stored.packed = PackRecord(record);
    m_usageDirty = true;
}

DWORD QuotaStore::Compact() {
    std::lock_guard lock(m_lock);
    if (!m_journal)
        return ERROR_INVALID_HANDLE;
    if (!m_usageDirty && !m_journalNeedsRestart && m_journal->Size() <= sizeof(StoreFileHeader))
        return 0;
    return CompactLocked();
}

DWORD QuotaStore::CompactLocked() {
    std::vector<char> bytes = HeaderBytes(StoreFileKind::Snapshot, m_generation + 1, m_nextId);
    size_t size = bytes.size();
    for (const auto& [id, stored] : m_records)
        size += sizeof(EntryFrame) + stored.packed.size();
    bytes.reserve(size);
    for (const auto& [id, stored] : m_records)
        AppendEntry(bytes, EntryKind::Save, stored.packed.data(), uint32_t(stored.packed.size()));
    if (DWORD error = ReplaceFileAtomically(m_folder + kSnapshotName, bytes))
        return error;
    ++m_generation;
    m_snapshotBytes = bytes.size();
    m_usageDirty = false;
    // Until the journal is restarted its entries belong to the previous snapshot, which Open
    // recognises and ignores; nothing more may be appended to it before then.
    m_journalNeedsRestart = true;
    if (DWORD error = m_journal->Restart(
            HeaderBytes(StoreFileKind::Journal, m_generation, 0).data(), sizeof(StoreFileHeader)))
        return error;
    m_journalNeedsRestart = false;
    return 0;
}

void QuotaStore::SetCompactionThreshold(uint64_t bytes) {
    std::lock_guard lock(m_lock);
    m_compactionThreshold = bytes;
}

StoreRecovery QuotaStore::Recovery() const {
    std::lock_guard lock(m_lock);
    return m_recovery;
}
