// A refresh keeps the entries of unchanged records, so that a large list takes its memory once.
#include "quota_service.h"
#include "view_fixture.h"

#include <map>

using namespace monitor;

namespace {

constexpr uint64_t kMB = 1024 * 1024;
constexpr DWORD kCycleTimeoutMs = 20000;

class EntrySharingTest : public ViewTest {
protected:
    QuotaServiceEnvironment m_service;
};

std::map<std::string, const MonitorEntry*> EntriesByObject(const MonitorList& list) {
    std::map<std::string, const MonitorEntry*> entries;
    for (const auto& entry : list)
        entries[entry->record.GetMappedName(1)] = entry.get();
    return entries;
}

bool AllScanned(const MonitorList& list) {
    for (const auto& entry : list) {
        if (entry->record.GetAttributes() & kAttrScanStatusBits)
            return false;
    }
    return !list.empty();
}

} // namespace

TEST_F(EntrySharingTest, ARefreshKeepsTheEntriesOfUnchangedRecordsAndShowsAChangedOne) {
    const std::string folders[] = {m_service.Folder("Kept1"), m_service.Folder("Changed"),
                                   m_service.Folder("Kept2")};
    for (const std::string& folder : folders)
        ASSERT_EQ(SaveQuota(folder, 10 * kMB), kAxOk);
    ASSERT_TRUE(m_document.OnOpenDocument("C:\\"));
    CAXMonView& view = OpenView();
    view.SetFrequencySource([] { return 1u; });
    view.StartRefreshTimer(0);
    ASSERT_TRUE(
        PumpMessagesUntil([&] { return AllScanned(m_document.DisplayedList()); }, kCycleTimeoutMs));
    const auto before = EntriesByObject(m_document.DisplayedList());

    ASSERT_EQ(SaveQuota(folders[1], 20 * kMB), kAxOk);
    const auto changedShown = [&] {
        const MonitorList& list = m_document.DisplayedList();
        return AllScanned(list) && EntriesByObject(list).count(folders[1]) &&
               EntriesByObject(list).at(folders[1])->record.GetPermQuota() == 20 * kMB;
    };
    ASSERT_TRUE(PumpMessagesUntil(changedShown, kCycleTimeoutMs));

    // The unchanged records keep their very entries.
    const auto after = EntriesByObject(m_document.DisplayedList());
    for (const std::string& kept : {folders[0], folders[2]}) {
        ASSERT_TRUE(before.count(kept) && after.count(kept)) << kept;
        EXPECT_EQ(before.at(kept), after.at(kept)) << kept;
        EXPECT_EQ(after.at(kept)->record.GetPermQuota(), 10 * kMB) << kept;
    }
}
