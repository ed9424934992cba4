#include "services/store/quota_store.h"

#include <cstring>

#include "services/store/record_packing.h"
#include "services/store/store_files.h"
#include "services/store/store_format.h"

namespace {

constexpr char kSnapshotName[] = "\\quota.db";
constexpr char kJournalName[] = "\\quota.jnl";
constexpr char kTemporaryName[] = "\\quota.db.tmp";

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
    m_problem.clear();
    if (folder.empty())
        return ERROR_INVALID_PARAMETER;
    std::string trimmed = folder;
    while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    if (DWORD error = CreateFolderTree(trimmed))
        return error;
    m_folder = trimmed;
    for (const char* name : {kSnapshotName, kJournalName, kTemporaryName}) {
        std::string movedTo;
        if (ClearFileName(m_folder + name, name == kTemporaryName, movedTo) && !movedTo.empty())
            m_recovery.obstaclesMovedAside.push_back(std::string(name + 1) + " moved to " +
                                                     movedTo);
    }
    m_journal = std::make_unique<JournalFile>();
    DWORD error = m_journal->Open(m_folder + kJournalName);
    if (!error) {
        bool rewrite = false;
        error = LoadLocked(m_recovery, rewrite);
        if (!error && rewrite)
            error = CompactLocked();
    }
    if (error) {
        std::string problem = std::move(m_problem);
        CloseLocked();
        m_problem = std::move(problem);
    }
    return error;
}

void QuotaStore::NoteDamage(const char* name, const std::vector<char>& bytes, std::string problem,
                            const ParsedEntries& parsed, StoreRecovery& recovery) {
    DamagedStoreFile damaged;
    damaged.name = name + 1;
    damaged.problem = std::move(problem);
    damaged.entriesRecovered = static_cast<uint32_t>(parsed.entries.size());
    damaged.entriesDiscarded = parsed.damagedRuns;
    damaged.bytesDiscarded = parsed.damagedBytes;
    KeepDamagedCopy(m_folder + name, bytes, damaged.keptAs);
    recovery.damagedFiles.push_back(std::move(damaged));
}

DWORD QuotaStore::LoadLocked(StoreRecovery& recovery, bool& rewrite) {
    std::vector<char> bytes;
    StoreFileHeader header;
    DWORD error = ReadWholeFile(m_folder + kSnapshotName, bytes);
    bool haveSnapshot = error == 0;
    if (error && error != ERROR_FILE_NOT_FOUND)
        return error;
    bool snapshotTrusted = false;
    std::vector<char> snapshotBytes;
    if (haveSnapshot) {
        HeaderCheck check = CheckHeader(bytes, StoreFileKind::Snapshot, header);
        if (check == HeaderCheck::TooNew) {
            m_problem = "quota.db was written by a newer version of the service";
            return ERROR_FILE_CORRUPT;
        }
        snapshotTrusted = check == HeaderCheck::Valid;
        uint32_t version = snapshotTrusted ? header.version : kStoreFormatVersion;
        ParsedEntries parsed = ParseEntries(bytes, version);
        ApplyEntries(parsed, version, recovery);
        rewrite = parsed.damagedRuns > 0 || version < kStoreFormatVersion || !snapshotTrusted;
        if (snapshotTrusted) {
            m_generation = header.generation;
            m_nextId = std::max(m_nextId, header.nextId);
        }
        m_snapshotBytes = bytes.size();
        if (!snapshotTrusted)
            NoteDamage(kSnapshotName, bytes,
                       bytes.empty() ? "it was empty" : "its header was damaged", parsed, recovery);
        else if (parsed.damagedRuns > 0)
            NoteDamage(kSnapshotName, bytes, "some of its records were damaged", parsed, recovery);
        else
            snapshotBytes = std::move(bytes);
    }

    if ((error = m_journal->ReadAll(bytes)) != 0)
        return error;
    HeaderCheck check = CheckHeader(bytes, StoreFileKind::Journal, header);
    if (check == HeaderCheck::TooNew) {
        m_problem = "quota.jnl was written by a newer version of the service";
        return ERROR_FILE_CORRUPT;
    }
    if (check != HeaderCheck::Valid && bytes.size() <= sizeof header) {
        // A journal being created or restarted when the process ended: nothing is lost.
        if (!haveSnapshot)
            m_generation = 0;
        rewrite = rewrite || !haveSnapshot;
        return rewrite
                   ? 0
                   : m_journal->Restart(HeaderBytes(StoreFileKind::Journal, m_generation, 0).data(),
                                        sizeof header);
    }
    bool journalTrusted = check == HeaderCheck::Valid;
    if (journalTrusted && !snapshotTrusted) {
        m_generation = header.generation;
        rewrite = true;
    }
    if (journalTrusted && header.generation < m_generation) {
        // Already folded into the snapshot; the process ended before restarting the journal.
        recovery.staleJournalIgnored = true;
        return m_journal->Restart(HeaderBytes(StoreFileKind::Journal, m_generation, 0).data(),
                                  sizeof header);
    }
    if (journalTrusted && header.generation > m_generation) {
        // The snapshot the journal follows never reached the disk: what it held is lost.
        ParsedEntries none;
        none.entries.resize(m_records.size());
        NoteDamage(kSnapshotName, snapshotBytes, "it was older than its journal", none, recovery);
        m_generation = header.generation;
        rewrite = true;
    }

    uint32_t version = journalTrusted ? header.version : kStoreFormatVersion;
    ParsedEntries parsed = ParseEntries(bytes, version);
    ApplyEntries(parsed, version, recovery);
    recovery.entriesReplayed += static_cast<uint32_t>(parsed.entries.size());
    if (!journalTrusted)
        NoteDamage(kJournalName, bytes, "its header was damaged", parsed, recovery);
    else if (parsed.damagedRuns > (parsed.tornTail ? 1u : 0u))
        NoteDamage(kJournalName, bytes, "some of its changes were damaged", parsed, recovery);
    if (parsed.damagedTail && !rewrite) {
        if ((error = m_journal->TruncateTo(parsed.validEnd)) != 0)
            return error;
    }
    if (parsed.damagedRuns > (parsed.tornTail ? 1u : 0u) || version < kStoreFormatVersion ||
        !journalTrusted)
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

std::string QuotaStore::Problem() const {
    std::lock_guard lock(m_lock);
    return m_problem;
}

std::string DescribeRecovery(const StoreRecovery& recovery) {
    std::string text;
    for (const DamagedStoreFile& file : recovery.damagedFiles) {
        text += file.name + ": " + file.problem + "; " + std::to_string(file.entriesRecovered) +
                " entries recovered";
        if (file.entriesDiscarded)
            text += ", " + std::to_string(file.entriesDiscarded) + " damaged runs (" +
                    std::to_string(file.bytesDiscarded) + " bytes) lost";
        text += file.keptAs.empty() ? "; its damaged bytes could not be kept.\n"
                                    : "; the damaged file is kept as " + file.keptAs + ".\n";
    }
    for (const std::string& obstacle : recovery.obstaclesMovedAside)
        text += obstacle + ".\n";
    return text;
}
