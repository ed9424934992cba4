// The store driven through its interface on real files: records, keys, ids, usage, reopening,
// compaction, damaged and older files, and concurrent callers.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "services/store/checksum.h"
#include "services/store/quota_store.h"
#include "services/store/record_packing.h"
#include "services/store/store_format.h"
#include "temp_folder.h"

namespace {

// A record for device "C:", directory `file` and `owner`, with a permanent quota and a message
// that make its contents recognisable.
AllotrixDbRec MakeRecord(const char* file, const char* owner, uint64_t permQuota) {
    AllotrixDbRec record;
    record.SetObjectName("C:", file);
    record.SetFileOwner(owner);
    record.SetPermQuota(permQuota);
    record.SetThreshPercent1(90);
    if (owner[0] == '\0')
        record.TurnAttributeOn(AttrAbsolute);
    record.Actions[2].SetMessage(("quota " + std::to_string(permQuota) + " on " + file).c_str());
    record.Actions[4].ReportMail.SetMailProfile("profile");
    return record;
}

bool SameBytes(const AllotrixDbRec& a, const AllotrixDbRec& b) {
    return memcmp(static_cast<const void*>(&a), static_cast<const void*>(&b), sizeof a) == 0;
}

std::vector<char> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

uint64_t FileSize(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

std::string Numbered(int i) {
    return "\\D" + std::to_string(i);
}

class QuotaStoreTest : public ::testing::Test {
protected:
    TempFolder m_temp{"store"};
    std::string m_folder = m_temp / "store";
    std::string Journal() const { return m_folder + "\\quota.jnl"; }
    std::string Snapshot() const { return m_folder + "\\quota.db"; }

    // A new store of records \D0 ... \D(count-1), compacted after the record `compactAfter`.
    void SaveNumberedRecords(int count, int compactAfter) {
        RemoveTree(m_folder);
        QuotaStore store;
        ASSERT_EQ(0u, store.Open(m_folder));
        for (int i = 0; i < count; ++i) {
            AllotrixDbRec record = MakeRecord(Numbered(i).c_str(), "", i);
            ASSERT_EQ(0u, store.Save(record));
            if (i == compactAfter) {
                ASSERT_EQ(0u, store.Compact());
            }
        }
    }
};

TEST_F(QuotaStoreTest, KeepsRecordsByKeyWithoutRegardToCaseUnderIdsNeverShared) {
    m_folder += "\\deeper\\still"; // missing parents are created
    QuotaStore store;
    ASSERT_EQ(0u, store.Open(m_folder));
    AllotrixDbRec chosen = MakeRecord("\\A", "", 1), alice = MakeRecord("\\A", "HOST\\alice", 2),
                  clash = MakeRecord("\\B", "", 3);
    chosen.SetRecordId(500);
    clash.SetRecordId(500);
    for (AllotrixDbRec* record : {&chosen, &alice, &clash})
        ASSERT_EQ(0u, store.Save(*record));
    EXPECT_EQ(500u, chosen.GetRecordId());
    EXPECT_EQ(501u, alice.GetRecordId());
    EXPECT_EQ(502u, clash.GetRecordId());

    AllotrixDbRec upper = MakeRecord("\\a", "host\\ALICE", 20); // replaces alice's record
    ASSERT_EQ(0u, store.Save(upper));
    EXPECT_EQ(501u, upper.GetRecordId());
    AllotrixDbRec found;
    ASSERT_TRUE(store.Find("c:", "\\A", "HOST\\alice", found));
    EXPECT_TRUE(SameBytes(upper, found));
    ASSERT_TRUE(store.Find("C:", "\\a", "", found));
    EXPECT_TRUE(SameBytes(chosen, found));
    EXPECT_EQ(0u, store.Delete("C:", "\\b", ""));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), store.Delete("C:", "\\B", ""));
    EXPECT_FALSE(store.Find("C:", "\\B", "", found));

    store.Close();
    ASSERT_EQ(0u, store.Open(m_folder + "\\")); // the same store
    std::vector<AllotrixDbRec> all = store.Snapshot();
    ASSERT_EQ(2u, all.size());
    EXPECT_TRUE(SameBytes(chosen, all[0]));
    EXPECT_TRUE(SameBytes(upper, all[1]));
    AllotrixDbRec after = MakeRecord("\\D", "", 1);
    ASSERT_EQ(0u, store.Save(after));
    EXPECT_EQ(503u, after.GetRecordId()); // not the deleted record's
}

TEST_F(QuotaStoreTest, RefusesBadCallsAndASecondOpenerAndChangesNothing) {
    QuotaStore store;
    AllotrixDbRec record = MakeRecord("\\Data", "", 1);
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), store.Save(record));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), store.Delete("C:", "\\Data", ""));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), store.Open(""));
    ASSERT_EQ(0u, store.Open(m_folder));
    record.SetObjectName("", "\\Data");
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), store.Save(record));
    EXPECT_EQ(0u, store.Count());
    EXPECT_EQ(0u, record.GetRecordId());

    QuotaStore second; // one process at a time opens a store
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), second.Open(m_folder));
    store.Close();
    EXPECT_EQ(0u, second.Open(m_folder));
}

TEST_F(QuotaStoreTest, UsageIsKeptInMemoryAndWrittenByCompactionAndClose) {
    QuotaStore store;
    ASSERT_EQ(0u, store.Open(m_folder));
    AllotrixDbRec record = MakeRecord("\\Data", "HOST\\alice", 5000);
    record.TurnAttributeOn(AttrNoEnforce);
    ASSERT_EQ(0u, store.Save(record));
    store.UpdateUsage("c:", "\\data", "host\\alice", 4200, 4800,
                      AttrStatus100 | AttrStatus40000000 | AttrAbsolute);
    store.UpdateUsage("C:", "\\Nowhere", "", 1, 1, 0); // unknown record: ignored
    AllotrixDbRec found;
    ASSERT_TRUE(store.Find("C:", "\\Data", "HOST\\alice", found));
    EXPECT_EQ(4200u, found.GetUsedQuota());
    EXPECT_EQ(4800u, found.GetHighWaterMark());
    EXPECT_EQ(uint32_t(AttrNoEnforce | AttrStatus100 | AttrStatus40000000),
              found.GetAttributes()); // only the status bits are taken
    EXPECT_EQ(1u, store.Count());

    ASSERT_EQ(0u, store.Compact());
    store.UpdateUsage("C:", "\\Data", "HOST\\alice", 100, 4900, AttrStatus100);
    store.Close();
    ASSERT_EQ(0u, store.Open(m_folder));
    ASSERT_TRUE(store.Find("C:", "\\Data", "HOST\\alice", found));
    EXPECT_EQ(100u, found.GetUsedQuota());
    EXPECT_EQ(4900u, found.GetHighWaterMark());
    EXPECT_EQ(uint32_t(AttrNoEnforce | AttrStatus100), found.GetAttributes());
}

TEST_F(QuotaStoreTest, CompactionBoundsTheJournalAndKeepsEveryRecord) {
    // Entries differ by a few bytes of owner name and quota: take the size of a long one.
    const uint64_t entry =
        sizeof(EntryFrame) + PackRecord(MakeRecord("\\Data", "HOST\\user19", 599)).size();
    const uint64_t threshold = 30 * entry;
    QuotaStore store;
    ASSERT_EQ(0u, store.Open(m_folder));
    store.SetCompactionThreshold(threshold);
    uint64_t largestJournal = 0;
    for (int round = 0; round < 6; ++round) {
        for (int i = 0; i < 20; ++i) {
            std::string owner = "HOST\\user" + std::to_string(i);
            AllotrixDbRec record = MakeRecord("\\Data", owner.c_str(), round * 100 + i);
            ASSERT_EQ(0u, store.Save(record));
            largestJournal = std::max(largestJournal, FileSize(Journal()));
        }
        ASSERT_EQ(0u, store.Delete("C:", "\\Data", ("HOST\\user" + std::to_string(round)).c_str()));
    }
    uint64_t snapshotSize = FileSize(Snapshot());
    EXPECT_GT(snapshotSize, 14 * (entry - 8)); // compacted at least once late on
    EXPECT_LE(largestJournal, std::max(threshold, snapshotSize) + entry);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((Snapshot() + ".tmp").c_str()));
    std::vector<AllotrixDbRec> before = store.Snapshot();
    store.Close();

    ASSERT_EQ(0u, store.Open(m_folder));
    std::vector<AllotrixDbRec> after = store.Snapshot();
    ASSERT_EQ(19u, after.size());
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(SameBytes(before[i], after[i]));
}

TEST_F(QuotaStoreTest, ATornLastEntryIsCutOffAndTheRestKept) {
    ASSERT_NO_FATAL_FAILURE(SaveNumberedRecords(5, -1));
    std::vector<char> journal = ReadBytes(Journal());
    size_t entrySize = (journal.size() - sizeof(StoreFileHeader)) / 5;
    journal.resize(journal.size() - entrySize / 2);
    WriteBytes(Journal(), journal);

    QuotaStore store;
    ASSERT_EQ(0u, store.Open(m_folder));
    EXPECT_EQ(4u, store.Count());
    AllotrixDbRec found;
    EXPECT_TRUE(store.Find("C:", "\\D3", "", found));
    EXPECT_FALSE(store.Find("C:", "\\D4", "", found));
    EXPECT_EQ(1u, store.Recovery().entriesDiscarded);
    EXPECT_GT(store.Recovery().bytesDiscarded, 0u);

    AllotrixDbRec later = MakeRecord("\\D5", "", 5);
    ASSERT_EQ(0u, store.Save(later));
    store.Close();
    ASSERT_EQ(0u, store.Open(m_folder));
    EXPECT_EQ(5u, store.Count());
    EXPECT_TRUE(store.Find("C:", "\\D5", "", found));
    EXPECT_EQ(0u, store.Recovery().entriesDiscarded);
}

TEST_F(QuotaStoreTest, AJournalAlreadyFoldedIntoTheSnapshotIsIgnored) {
    std::vector<char> oldJournal;
    {
        QuotaStore store;
        ASSERT_EQ(0u, store.Open(m_folder));
        AllotrixDbRec record = MakeRecord("\\Data", "", 1);
        ASSERT_EQ(0u, store.Save(record));
        oldJournal = ReadBytes(Journal());
        ASSERT_EQ(0u, store.Compact());
        ASSERT_EQ(0u, store.Delete("C:", "\\Data", ""));
        ASSERT_EQ(0u, store.Compact());
    }
    // As if the process had ended between writing the snapshot and restarting the journal.
    WriteBytes(Journal(), oldJournal);
    QuotaStore store;
    ASSERT_EQ(0u, store.Open(m_folder));
    EXPECT_TRUE(store.Recovery().staleJournalIgnored);
    EXPECT_EQ(0u, store.Count());
}

// Each damage to a store of \D0..\D2 in the snapshot and \D3, \D4 in the journal: the records
// that must survive it, and the file that must be named and kept aside as it was.
TEST_F(QuotaStoreTest, EveryDamageIsRecoveredToldAndKeptAside) {
    // Where a byte is flipped (from the end when negative), or what replaces the file.
    constexpr long Clear = 1 << 30, Text = Clear + 1;
    const long entry = long(sizeof(EntryFrame) + PackRecord(MakeRecord("\\D3", "", 3)).size());
    const struct Damage {
        const char* what;
        bool journal;
        long change;
        std::vector<int> survivors;
    } damages[] = {
        {"snapshot header", false, 20, {0, 1, 2, 3, 4}},
        {"snapshot magic", false, 0, {0, 1, 2, 3, 4}},
        {"journal header", true, 30, {0, 1, 2, 3, 4}},
        {"empty snapshot", false, Clear, {3, 4}},
        {"snapshot of text", false, Text, {3, 4}},
        {"last journal entry", true, -20, {0, 1, 2, 3}},
        {"first journal entry", true, -entry * 3 / 2, {0, 1, 2, 4}},
        {"snapshot record", false, -10, {0, 1, 3, 4}},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        ASSERT_NO_FATAL_FAILURE(SaveNumberedRecords(5, 2));
        std::string path = damage.journal ? Journal() : Snapshot();
        std::vector<char> bytes = ReadBytes(path);
        if (damage.change == Clear || damage.change == Text)
            bytes.assign(damage.change == Text ? 300 : 0, 'x');
        else
            bytes[damage.change < 0 ? bytes.size() + damage.change : damage.change] ^= 0x10;
        WriteBytes(path, bytes);

        QuotaStore store;
        ASSERT_EQ(0u, store.Open(m_folder));
        EXPECT_EQ(damage.survivors.size(), store.Count());
        AllotrixDbRec found;
        for (int i : damage.survivors)
            EXPECT_TRUE(store.Find("C:", Numbered(i).c_str(), "", found)) << i;
        StoreRecovery recovery = store.Recovery();
        ASSERT_EQ(1u, recovery.damagedFiles.size());
        const DamagedStoreFile& told = recovery.damagedFiles[0];
        EXPECT_EQ(damage.journal ? "quota.jnl" : "quota.db", told.name);
        ASSERT_FALSE(told.keptAs.empty());
        EXPECT_EQ(bytes, ReadBytes(m_folder + "\\" + told.keptAs));
        EXPECT_NE(std::string::npos, DescribeRecovery(recovery).find(told.name));

        // The store was rewritten whole: it opens cleanly with the same records.
        store.Close();
        ASSERT_EQ(0u, store.Open(m_folder));
        EXPECT_EQ(damage.survivors.size(), store.Count());
        EXPECT_TRUE(store.Recovery().damagedFiles.empty());
    }
}

TEST_F(QuotaStoreTest, ObstaclesAtTheStoreNamesAreMovedAside) {
    ASSERT_NO_FATAL_FAILURE(SaveNumberedRecords(3, 2));
    ASSERT_TRUE(CreateDirectoryA((Snapshot() + ".tmp").c_str(), nullptr));
    WriteBytes(Snapshot() + ".tmp\\kept.txt", {'k'});
    QuotaStore store;
    ASSERT_EQ(0u, store.Open(m_folder));
    EXPECT_EQ(3u, store.Count());
    ASSERT_EQ(1u, store.Recovery().obstaclesMovedAside.size());
    // Later compactions are not blocked either.
    ASSERT_TRUE(CreateDirectoryA((Snapshot() + ".tmp").c_str(), nullptr));
    AllotrixDbRec record = MakeRecord("\\D9", "", 9);
    ASSERT_EQ(0u, store.Save(record));
    EXPECT_EQ(0u, store.Compact());
}

// The header of a store of the first format (plain records of sizeof(AllotrixDbRec) bytes), or of
// a newer format than this program knows.
std::vector<char> HeaderOfVersion(uint32_t version, StoreFileKind kind, uint32_t nextId) {
    StoreFileHeader header = MakeHeader(kind, 3, nextId);
    header.version = version;
    header.crc = Crc32(&header, offsetof(StoreFileHeader, crc));
    const char* bytes = reinterpret_cast<const char*>(&header);
    return std::vector<char>(bytes, bytes + sizeof header);
}

TEST_F(QuotaStoreTest, AStoreOfANewerFormatIsRefusedAndLeftAlone) {
    CreateDirectoryA(m_folder.c_str(), nullptr);
    std::vector<char> bytes = HeaderOfVersion(kStoreFormatVersion + 1, StoreFileKind::Snapshot, 1);
    WriteBytes(Snapshot(), bytes);
    QuotaStore store;
    EXPECT_EQ(DWORD(ERROR_FILE_CORRUPT), store.Open(m_folder));
    EXPECT_NE(std::string::npos, store.Problem().find("quota.db"));
    EXPECT_EQ(bytes, ReadBytes(Snapshot()));
}

TEST_F(QuotaStoreTest, AStoreOfPlainRecordsIsReadAndRewrittenPacked) {
    CreateDirectoryA(m_folder.c_str(), nullptr);
    std::vector<AllotrixDbRec> records;
    std::vector<char> snapshot = HeaderOfVersion(kPlainRecordsVersion, StoreFileKind::Snapshot, 4);
    for (uint32_t id = 1; id <= 3; ++id) {
        records.push_back(MakeRecord(("\\Old" + std::to_string(id)).c_str(), "", id * 1000));
        records.back().SetRecordId(id);
        AppendEntry(snapshot, EntryKind::Save, &records.back(), sizeof(AllotrixDbRec));
    }
    std::vector<char> journal = HeaderOfVersion(kPlainRecordsVersion, StoreFileKind::Journal, 0);
    AllotrixDbRec added = MakeRecord("\\New", "HOST\\bob", 77);
    added.SetRecordId(4);
    AppendEntry(journal, EntryKind::Save, &added, sizeof added);
    uint32_t deleted = 2;
    AppendEntry(journal, EntryKind::Delete, &deleted, sizeof deleted);
    WriteBytes(Snapshot(), snapshot);
    WriteBytes(Journal(), journal);

    for (int open = 0; open < 2; ++open) {
        QuotaStore store;
        ASSERT_EQ(0u, store.Open(m_folder));
        std::vector<AllotrixDbRec> all = store.Snapshot();
        ASSERT_EQ(3u, all.size());
        EXPECT_TRUE(SameBytes(records[0], all[0]));
        EXPECT_TRUE(SameBytes(records[2], all[1]));
        EXPECT_TRUE(SameBytes(added, all[2]));
        EXPECT_EQ(0u, store.Recovery().entriesDiscarded);
    }
    StoreFileHeader header;
    ASSERT_EQ(HeaderCheck::Valid,
              CheckHeader(ReadBytes(Snapshot()), StoreFileKind::Snapshot, header));
    EXPECT_EQ(kStoreFormatVersion, header.version);
    EXPECT_LT(FileSize(Snapshot()), 3 * sizeof(AllotrixDbRec) / 10);
}

TEST_F(QuotaStoreTest, ManyThreadsSaveAndReadAtOnce) {
    QuotaStore store;
    ASSERT_EQ(0u, store.Open(m_folder));
    store.SetCompactionThreshold(200 * 1024);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                std::string owner = "HOST\\t" + std::to_string(t) + "u" + std::to_string(i);
                AllotrixDbRec record = MakeRecord("\\Data", owner.c_str(), t * 1000 + i);
                failures += store.Save(record) != 0;
                store.UpdateUsage("C:", "\\Data", owner.c_str(), i, i, 0);
                failures += store.Snapshot().empty();
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(0, failures.load());
    store.Close();
    ASSERT_EQ(0u, store.Open(m_folder));
    std::vector<AllotrixDbRec> all = store.Snapshot();
    ASSERT_EQ(100u, all.size());
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(all[i - 1].GetRecordId(), all[i].GetRecordId());
}

} // namespace
