// The monitor document and view against the real quota service.
#include "quota_service.h"
#include "view_fixture.h"

#include "monitor/columns.h"
#include "monitor/monitor_messages.h"

#include <algorithm>

using namespace monitor;

namespace {

constexpr uint64_t kMB = 1024 * 1024;
constexpr DWORD kCycleTimeoutMs = 20000;

std::vector<std::string> ObjectNames(const MonitorList& list) {
    std::vector<std::string> names;
    for (const auto& entry : list)
        names.push_back(entry->record.GetMappedName(1));
    return names;
}

class ServiceTest : public ViewTest {
protected:
    // Waits for the refresh thread's result and takes it over.
    bool TakeNextResult() {
        return PumpMessagesUntil([this] { return m_document.TakeIncoming(); }, kCycleTimeoutMs);
    }

    QuotaServiceEnvironment m_service;
};

class MonitoringOnlyServiceTest : public ViewTest {
protected:
    QuotaServiceEnvironment m_service{kServerKindMonitorOnly};
};

} // namespace

TEST_F(ServiceTest,
       OpeningLoadsTheListedRecordsAStoppedCycleDeliversNothingAndAStoppedServerIsReported) {
    ASSERT_TRUE(m_service.IsRunning());
    const std::string shown = m_service.Folder("Shown");
    ASSERT_EQ(SaveQuota(shown, 100 * kMB), kAxOk);
    ASSERT_EQ(SaveQuota(m_service.Folder("Hidden4"), kMB, AttrUnlisted40000), kAxOk);
    ASSERT_EQ(SaveQuota(m_service.Folder("Hidden8"), kMB, AttrUnlisted80000), kAxOk);

    ASSERT_TRUE(m_document.OnOpenDocument("C:\\"));
    EXPECT_TRUE(m_document.messages.empty());
    EXPECT_EQ(m_document.Server(), ComputerName());
    EXPECT_EQ(m_document.ServerKind(), kServerKindFull);
    ASSERT_EQ(m_document.DisplayedList().size(), 1u);
    const MonitorEntry& entry = *m_document.DisplayedList()[0];
    EXPECT_EQ(entry.serverName, ComputerName());
    EXPECT_STRCASEEQ(entry.record.GetMappedName(1), shown.c_str());
    EXPECT_EQ(entry.record.GetPermQuota(), 100 * kMB);
    EXPECT_TRUE(entry.record.IsAttributeSet(AttrAbsolute));

    m_document.SetTitle("ignored");
    EXPECT_EQ(m_document.GetTitle(),
              "Allotrix/Sentrel Monitor - All objects on computer " + ComputerName());

    // Stopping a cycle in flight neither deadlocks nor delivers its result.
    const size_t noticesOfTheOpen = ConnectedNotices().size();

    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(m_document.RequestRefresh());
        // Deliver nothing until the refresh thread hangs in its WM_AXMON_CONNECTED to us.
        const DWORD start = GetTickCount();
        while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) &&
               GetTickCount() - start < kCycleTimeoutMs)
            Sleep(1);
        ASSERT_TRUE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)
            << "the refresh thread never sent its connect notice";
        m_document.StopRefresh();
        EXPECT_FALSE(m_document.IsRefreshThreadRunning());
        ASSERT_EQ(ConnectedNotices().size(), noticesOfTheOpen + round + 1);
        EXPECT_EQ(ConnectedNotices().back(), 1u);
        // The stopped cycle delivers nothing.
        EXPECT_FALSE(m_document.TakeIncoming());
    }

    // After a stop the next request starts a new thread and the data comes again.
    m_document.DisplayedList().clear();
    ASSERT_TRUE(m_document.RequestRefresh());
    ASSERT_TRUE(TakeNextResult());
    EXPECT_EQ(m_document.DisplayedList().size(), 1u);

    // The view stops a cycle in flight: its result is dropped, the next cycle shows the data.
    m_document.StopRefresh();
    CAXMonView& view = OpenView();
    ASSERT_EQ(view.GetRowCount(), 1);
    ASSERT_TRUE(view.StartRefreshTimer(10));
    ASSERT_TRUE(
        PumpMessagesUntil([&] { return m_document.IsRefreshThreadRunning(); }, kCycleTimeoutMs));
    view.StopRefreshTimer();
    EXPECT_FALSE(m_document.IsRefreshThreadRunning());
    EXPECT_TRUE(view.IsBusy());
    ASSERT_TRUE(view.StartRefreshTimer(10));
    // Any notice of the stopped cycle still queued must not empty the grid.
    ASSERT_TRUE(
        PumpMessagesUntil([&] { return m_document.IsRefreshThreadRunning(); }, kCycleTimeoutMs));
    ASSERT_TRUE(PumpMessagesUntil([&] { return view.IsTimerArmed(); }, kCycleTimeoutMs));
    EXPECT_EQ(view.GetRowCount(), 1);

    // A server without quotas gives an empty result, which replaces the old list.
    for (const char* folder : {"Shown", "Hidden4", "Hidden8"})
        ASSERT_EQ(DeleteQuota(m_service.Folder(folder)), kAxOk);
    ASSERT_TRUE(PumpMessagesUntil([&] { return view.GetRowCount() == 0; }, kCycleTimeoutMs));
    EXPECT_TRUE(m_document.DisplayedList().empty());
    CloseView();
    m_document.OnCloseDocument();

    ASSERT_TRUE(m_service.Stop());
    FilledDocument stopped;
    ASSERT_TRUE(stopped.OnOpenDocument("C:\\"));
    ASSERT_EQ(stopped.messages.size(), 1u);
    EXPECT_NE(stopped.messages[0].find("Unable to retrieve data from server " + ComputerName()),
              std::string::npos)
        << stopped.messages[0];
}

TEST_F(ServiceTest, EachRefreshShowsNewChangedAndDeletedQuotasSortedAndKeepsTheUnchangedEntries) {
    const uint64_t sizes[] = {10, 30, 20};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(SaveQuota(m_service.Folder("Sort" + std::to_string(i)), sizes[i] * kMB), kAxOk);
    ASSERT_TRUE(m_document.OnOpenDocument("C:\\"));
    CAXMonView& view = OpenView();
    view.SetFrequencySource([] { return 1u; });
    int capacity = 1;
    while (capacity < view.GetColCount() && view.ColumnTypeOf(capacity) != kColCapacity)
        ++capacity;
    ASSERT_TRUE(view.OnCellClick(0, capacity, 0, POINT{})); // largest first
    ASSERT_EQ(SaveQuota(m_service.Folder("Sort3"), 40 * kMB), kAxOk);
    ASSERT_TRUE(PumpMessagesUntil([&] { return view.GetRowCount() == 4; }, kCycleTimeoutMs));
    EXPECT_TRUE(m_document.IsRefreshThreadRunning());
    // The refresh thread reported the connection to the main window.
    ASSERT_FALSE(ConnectedNotices().empty());
    EXPECT_EQ(ConnectedNotices().back(), 1u);
    // The refresh thread sorted the list itself: the rows show it in its order.
    const uint64_t expected[] = {40, 30, 20, 10};
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(view.EntryOfRow(row), m_document.DisplayedList()[row - 1].get());
        EXPECT_EQ(view.EntryOfRow(row)->record.GetPermQuota(), expected[row - 1] * kMB);
    }

    // A changed record moves to its new place with its new cells; the other rows keep their
    // cells and their very entries (so that a large list takes its memory once).
    const MonitorList& list = m_document.DisplayedList();
    const auto scanned = [&] {
        return std::none_of(list.begin(), list.end(), [](const auto& entry) {
            return (entry->record.GetAttributes() & kAttrScanStatusBits) != 0;
        });
    };
    ASSERT_TRUE(PumpMessagesUntil(scanned, kCycleTimeoutMs));
    std::vector<std::string> shown; // 40, 30, 20 and 10 MB
    std::vector<const MonitorEntry*> entries;
    for (int row = 1; row <= 4; ++row) {
        shown.push_back(view.GetCellStyle(row, capacity).GetValue());
        entries.push_back(view.EntryOfRow(row));
    }
    ASSERT_EQ(SaveQuota(m_service.Folder("Sort0"), 35 * kMB), kAxOk);
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return scanned() && view.EntryOfRow(2)->record.GetPermQuota() == 35 * kMB; },
        kCycleTimeoutMs));
    const std::vector<std::string> now{shown[0], view.GetCellStyle(2, capacity).GetValue(),
                                       shown[1], shown[2]};
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(view.GetCellStyle(row, capacity).GetValue(), now[row - 1]);
        EXPECT_EQ(view.EntryOfRow(row), list[row - 1].get());
    }
    EXPECT_EQ(std::count(shown.begin(), shown.end(), now[1]), 0);
    EXPECT_EQ((std::vector<const MonitorEntry*>{view.EntryOfRow(1), view.EntryOfRow(3),
                                                view.EntryOfRow(4)}),
              (std::vector<const MonitorEntry*>(entries.begin(), entries.begin() + 3)));

    // A deleted quota leaves the grid with the next cycle; the timer goes on being armed.
    ASSERT_EQ(DeleteQuota(m_service.Folder("Sort3")), kAxOk);
    ASSERT_TRUE(PumpMessagesUntil([&] { return view.GetRowCount() == 3; }, kCycleTimeoutMs));
    EXPECT_EQ(view.EntryOfRow(1)->record.GetPermQuota(), 35 * kMB);
    EXPECT_TRUE(PumpMessagesUntil([&] { return view.IsTimerArmed(); }, kCycleTimeoutMs));
}

TEST_F(MonitoringOnlyServiceTest, OnlyDeviceRootObjectsAreListed) {
    ASSERT_TRUE(m_service.IsRunning());
    const std::string object = m_service.Folder("Object");
    ASSERT_EQ(SaveQuota(object, 10 * kMB), kAxOk);
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string root = std::string(windows).substr(0, 3);
    ASSERT_EQ(SaveQuota(root, 1000000 * kMB), kAxOk);

    ASSERT_TRUE(m_document.OnOpenDocument("C:\\"));
    EXPECT_EQ(m_document.ServerKind(), kServerKindMonitorOnly);
    EXPECT_EQ(ObjectNames(m_document.DisplayedList()), (std::vector<std::string>{root}));

    ASSERT_TRUE(m_document.RequestRefresh());
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_document.TakeIncoming(); }, kCycleTimeoutMs));
    EXPECT_EQ(ObjectNames(m_document.DisplayedList()), (std::vector<std::string>{root}));
    DeleteQuota(root);
}
