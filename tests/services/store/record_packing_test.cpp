// Packed records: every byte survives the round trip, malformed input is refused, and a store
// written with plain records is read and rewritten packed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <vector>

#include "services/store/checksum.h"
#include "services/store/quota_store.h"
#include "services/store/record_packing.h"
#include "services/store/store_format.h"
#include "store_test_support.h"
#include "temp_folder.h"

namespace {

char* BytesOf(AllotrixDbRec& record) {
    return reinterpret_cast<char*>(&record);
}

AllotrixDbRec RoundTrip(const AllotrixDbRec& record) {
    PackedRecord packed = PackRecord(record);
    EXPECT_LE(packed.size(), kLargestPackedRecord);
    AllotrixDbRec unpacked;
    EXPECT_TRUE(UnpackRecord(packed.data(), packed.size(), unpacked));
    return unpacked;
}

TEST(RecordPacking, EveryRecordComesBackByteForByte) {
    AllotrixDbRec empty;
    EXPECT_TRUE(SameBytes(empty, RoundTrip(empty)));
    EXPECT_LT(PackRecord(empty).size(), 16u);

    AllotrixDbRec typical = MakeRecord("\\Sales\\Reports", "HOST\\alice", 5 << 20);
    EXPECT_TRUE(SameBytes(typical, RoundTrip(typical)));
    EXPECT_LT(PackRecord(typical).size(), 300u) << "a typical record should pack small";

    AllotrixDbRec full;
    memset(BytesOf(full), 0x5A, sizeof full);
    EXPECT_TRUE(SameBytes(full, RoundTrip(full)));

    // Zero runs of every short length, at the start, inside and at the end.
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        AllotrixDbRec mixed;
        char* bytes = BytesOf(mixed);
        for (size_t at = 0; at < sizeof mixed;) {
            size_t run = 1 + random() % 9;
            char value = random() % 3 == 0 ? 0 : char(1 + random() % 255);
            for (size_t i = 0; i < run && at < sizeof mixed; ++i, ++at)
                bytes[at] = value;
        }
        ASSERT_TRUE(SameBytes(mixed, RoundTrip(mixed))) << "round " << round;
    }
}

TEST(RecordPacking, MalformedBytesAreRefused) {
    PackedRecord packed = PackRecord(MakeRecord("\\Data", "", 1));
    AllotrixDbRec out;
    // Cut anywhere before the end: a run is missing or incomplete.
    for (size_t length = 0; length < packed.size(); ++length)
        EXPECT_FALSE(UnpackRecord(packed.data(), length, out)) << "cut at " << length;

    PackedRecord longer = packed; // no literal bytes, then one zero byte beyond the record
    longer.insert(longer.end(), {0, 0, 1, 0});
    EXPECT_FALSE(UnpackRecord(longer.data(), longer.size(), out));

    const PackedRecord endless(8, 0xFF); // literal bytes the data does not hold
    EXPECT_FALSE(UnpackRecord(endless.data(), endless.size(), out));
}

// The header a store of the first format had: plain records of sizeof(AllotrixDbRec) bytes.
std::vector<char> PlainHeader(StoreFileKind kind, uint64_t generation, uint32_t nextId) {
    StoreFileHeader header = MakeHeader(kind, generation, nextId);
    header.version = kPlainRecordsVersion;
    header.crc = Crc32(&header, offsetof(StoreFileHeader, crc));
    const char* bytes = reinterpret_cast<const char*>(&header);
    return std::vector<char>(bytes, bytes + sizeof header);
}

TEST(RecordPacking, AStoreOfPlainRecordsIsReadAndRewrittenPacked) {
    TempFolder temp{"plain-store"};
    std::string folder = temp / "store";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<AllotrixDbRec> records;
    std::vector<char> snapshot = PlainHeader(StoreFileKind::Snapshot, 3, 4);
    for (uint32_t id = 1; id <= 3; ++id) {
        records.push_back(MakeRecord(("\\Old" + std::to_string(id)).c_str(), "", id * 1000));
        records.back().SetRecordId(id);
        AppendEntry(snapshot, EntryKind::Save, &records.back(), sizeof(AllotrixDbRec));
    }
    std::vector<char> journal = PlainHeader(StoreFileKind::Journal, 3, 0);
    AllotrixDbRec added = MakeRecord("\\New", "HOST\\bob", 77);
    added.SetRecordId(4);
    AppendEntry(journal, EntryKind::Save, &added, sizeof added);
    uint32_t deleted = 2;
    AppendEntry(journal, EntryKind::Delete, &deleted, sizeof deleted);
    WriteBytes(folder + "\\quota.db", snapshot);
    WriteBytes(folder + "\\quota.jnl", journal);

    for (int open = 0; open < 2; ++open) {
        QuotaStore store;
        ASSERT_EQ(0u, store.Open(folder));
        std::vector<AllotrixDbRec> all = store.Snapshot();
        ASSERT_EQ(3u, all.size());
        EXPECT_TRUE(SameBytes(records[0], all[0]));
        EXPECT_TRUE(SameBytes(records[2], all[1]));
        EXPECT_TRUE(SameBytes(added, all[2]));
        EXPECT_EQ(0u, store.Recovery().entriesDiscarded);
    }
    StoreFileHeader header;
    ASSERT_EQ(HeaderCheck::Valid,
              CheckHeader(ReadBytes(folder + "\\quota.db"), StoreFileKind::Snapshot, header));
    EXPECT_EQ(kStoreFormatVersion, header.version);
    EXPECT_LT(FileSize(folder + "\\quota.db"), 3 * sizeof(AllotrixDbRec) / 10);
}

} // namespace
