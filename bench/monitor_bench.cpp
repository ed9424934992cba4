// One refresh cycle of the quota monitor with 10,000 quota records: the refresh thread reads them
// from the running quota service through AXCli, hands them over, and the view rebuilds and sorts
// its rows. Prints the times and the process's memory with the records shown.
#include "client/axcli.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"
#include "monitor/monitor_messages.h"
#include "services/store/quota_store.h"
#include "ui/profile.h"

#include "tests/monitor/server_program.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRecords = 10000;
constexpr int kCycles = 5;
constexpr int kObjectNameColumn = 4; // in the default column layout
const char kBenchRoot[] = "C:\\kelvane-monitor-bench";

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Census {
    int records = -1;    // -1 when the service cannot be reached
    int waitingScan = 0; // records still waiting for or in their first scan
};

Census TakeCensus() {
    Census census;
    AXCli client;
    if (client.Connect("") != kAxOk)
        return census;
    client.EndContext();
    census.records = 0;
    AllotrixBaseDbRec record;
    uint32_t status;
    while ((status = client.Get(&record, 1)) == kAxOk || status == kAxSkipRecord) {
        if (status != kAxOk)
            continue;
        ++census.records;
        census.waitingScan +=
            record.IsAttributeSet(AttrStatus40000000) || record.IsAttributeSet(AttrStatus100);
    }
    client.EndContext();
    client.Disconnect();
    return census;
}

// A freshly started service scans every object once; the cycles are measured after that, as an
// administrator meets them, not while the service's start-up scans take the processors.
bool WaitForFirstScans() {
    const auto start = Clock::now();
    for (;;) {
        const Census census = TakeCensus();
        if (census.records < 0)
            return false;
        if (census.waitingScan == 0)
            break;
        if (MsSince(start) > 600000)
            return false;
        Sleep(500);
    }
    printf("first scans of every object: %.1f s\n", MsSince(start) / 1000);
    return true;
}

std::string QuotaFolder(int i) {
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "%s\\q%05d", kBenchRoot, i);
    return folder;
}

// Writes the benchmark's quotas straight into the service's store while the service is stopped:
// saving them one by one through the service (each queues a scan and a folder watch) would take
// far longer than the benchmark itself.
bool FillStore(const std::string& store) {
    printf("writing %d quotas into the store (once; it is kept for later runs)...\n", kRecords);
    fflush(stdout);
    const auto start = Clock::now();
    QuotaStore quotas;
    if (quotas.Open(store) != ERROR_SUCCESS)
        return false;
    for (int i = 0; i < kRecords; ++i) {
        const std::string folder = QuotaFolder(i);
        if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        AllotrixDbRec record;
        record.SetObjectName("C:", folder.c_str() + 2);
        record.TurnAttributeOn(AttrAbsolute);
        record.SetPermQuota((uint64_t{1} + i % 97) * 1024 * 1024);
        record.SetThreshPercent1(90);
        record.SetThreshPercent2(75);
        if (quotas.Save(record) != ERROR_SUCCESS)
            return false;
    }
    quotas.Close();
    printf("written in %.0f ms\n", MsSince(start));
    return true;
}

// Installs and starts the service over the benchmark's own store, first filling the store when
// it holds fewer than kRecords quotas.
bool PrepareService() {
    std::string error;
    CreateDirectoryA(kBenchRoot, nullptr);
    const std::string store = std::string(kBenchRoot) + "\\store";
    monitor_test::StopPolicyService();
    monitor_test::RunServerProgram("-stop", error);
    if (monitor_test::RunServerProgram("-install -store \"" + store + "\" -kind 0", error) != 0 ||
        monitor_test::RunServerProgram("-start", error) != 0) {
        printf("quota service not available (%s)\n", error.c_str());
        return false;
    }
    if (TakeCensus().records >= kRecords)
        return WaitForFirstScans();
    if (monitor_test::RunServerProgram("-stop", error) != 0 || !FillStore(store) ||
        monitor_test::RunServerProgram("-start", error) != 0) {
        printf("cannot prepare the quota store (%s)\n", error.c_str());
        return false;
    }
    return TakeCensus().records >= kRecords && WaitForFirstScans();
}

void PrintMemory(const char* when) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // PagefileUsage is the private memory (Wine leaves PrivateUsage at 0).
    printf("memory %s: private %.1f MB, working set %.1f MB, peak %.1f MB (target: under 50 MB)\n",
           when, counters.PagefileUsage / 1048576.0, counters.WorkingSetSize / 1048576.0,
           counters.PeakWorkingSetSize / 1048576.0);
}

void AddMadeUpRecords(monitor::MonitorList& list) {
    for (int i = 0; i < kRecords; ++i) {
        auto entry = std::make_unique<monitor::MonitorEntry>();
        entry->serverName = "BENCH";
        entry->record.SetObjectName("C:", QuotaFolder(i).c_str() + 2);
        entry->record.TurnAttributeOn(AttrAbsolute);
        entry->record.SetPermQuota((uint64_t{1} + i % 97) * 1024 * 1024);
        entry->record.SetUsedQuota(uint64_t{1024} * 1024 * (i % 50));
        list.push_back(std::move(entry));
    }
}

// The parts of one timer-driven refresh cycle, in milliseconds.
struct CycleTimes {
    double total = 0;   // from arming the timer until the view has armed it again
    double reading = 0; // from the timer to the result's arrival: connect, enumerate, hand over
    double showing = 0; // the view taking the result: swap the lists, rebuild and sort the rows
};

// Runs one cycle, pumping this thread's messages itself to see when the timer fires and when
// the refresh thread's result arrives.
bool RunCycle(monitor::CAXMonView& view, CycleTimes& times) {
    view.StopRefreshTimer();
    view.StartRefreshTimer(1);
    const auto start = Clock::now();
    Clock::time_point timerAt = start;
    Clock::time_point resultAt = start;
    bool shown = false;
    while (!shown || !view.IsTimerArmed()) {
        if (MsSince(start) > 60000)
            return false;
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        const bool forView = message.hwnd == view.Handle();
        const bool isResult = forView && message.message == WM_AXMON_REFRESHED;
        if (forView && message.message == WM_TIMER && message.wParam == monitor::kRefreshTimerId)
            timerAt = Clock::now();
        if (isResult)
            resultAt = Clock::now();
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (isResult) {
            times.showing = MsSince(resultAt);
            shown = true;
        }
    }
    times.total = MsSince(start);
    times.reading = std::chrono::duration<double, std::milli>(resultAt - timerAt).count();
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int main() {
    ui::Profile::SetRoot("Ostrel", "KelvaneBench");
    PrintMemory("at start");
    const bool withService = PrepareService();
    // The service is removed again at the end (its store stays): a service left starting up
    // would keep the tests that install their own from doing so.
    std::string ignored;
    if (!withService) {
        monitor_test::RunServerProgram("-uninstall", ignored);
        printf("measuring the hand-over, rebuild and sort of %d records made here instead\n",
               kRecords);
    }

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KelvaneBenchFrame";
    RegisterClassA(&windowClass);
    HWND frame = CreateWindowExA(0, windowClass.lpszClassName, "Kelvane", WS_OVERLAPPEDWINDOW, 0, 0,
                                 1280, 900, nullptr, nullptr, windowClass.hInstance, nullptr);

    monitor::CAXMonDoc document;
    document.SetMainWindow(frame);
    document.SetStartedHidden(true);
    auto start = Clock::now();
    if (withService && !document.OnOpenDocument("C:\\"))
        return 1;
    if (!withService)
        AddMadeUpRecords(document.DisplayedList());
    printf("%s: %zu records in %.1f ms\n",
           withService ? "first load on the window thread" : "records made",
           document.DisplayedList().size(), MsSince(start));
    PrintMemory("with the records loaded");

    monitor::CAXMonView view(document);
    view.SetStartedHidden(true);
    view.SetFrequencySource([] { return 3600u; });
    RECT client{};
    GetClientRect(frame, &client);
    view.Create(frame, client, 0xE900);
    start = Clock::now();
    view.OnInitialUpdate();
    printf("initial update: %d rows in %.1f ms\n", view.GetRowCount(), MsSince(start));
    PrintMemory("after the initial update");
    // Sort by object name, so that every rebuild sorts 10,000 different keys.
    view.OnCellClick(0, kObjectNameColumn, 0, POINT{});

    std::vector<double> cycles, readings, showings, fills, rebuilds;
    for (int cycle = 0; cycle < kCycles && withService; ++cycle) {
        CycleTimes times;
        if (!RunCycle(view, times)) {
            printf("the refresh cycle did not complete\n");
            return 1;
        }
        cycles.push_back(times.total);
        readings.push_back(times.reading);
        showings.push_back(times.showing);
    }
    if (withService)
        PrintMemory("after the refresh cycles");
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        start = Clock::now();
        view.LockUpdate(true);
        view.FillRows(document.DisplayedList());
        fills.push_back(MsSince(start));
        view.SortRows();
        view.LockUpdate(false);
        rebuilds.push_back(MsSince(start));
    }
    if (view.GetRowCount() < kRecords)
        printf("warning: only %d rows\n", view.GetRowCount());

    std::sort(cycles.begin(), cycles.end());
    std::sort(rebuilds.begin(), rebuilds.end());
    std::sort(fills.begin(), fills.end());
    if (!cycles.empty()) {
        printf("refresh cycle with %d rows: median %.1f ms, best %.1f ms, worst %.1f ms "
               "(target: under 100 ms)\n",
               view.GetRowCount(), cycles[kCycles / 2], cycles.front(), cycles.back());
        printf("  its parts (medians): reading the records on the refresh thread %.1f ms, "
               "showing them (hand-over, rebuild, sort) %.1f ms\n",
               Median(readings), Median(showings));
    }
    printf("rebuild and sort of %d rows: median %.1f ms (rows %.1f ms), worst %.1f ms\n",
           view.GetRowCount(), rebuilds[kCycles / 2], fills[kCycles / 2], rebuilds.back());
    PrintMemory("with the rows shown");

    view.StopRefreshTimer();
    DestroyWindow(view.Handle());
    DestroyWindow(frame);
    document.OnCloseDocument();
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
    if (withService)
        monitor_test::RunServerProgram("-uninstall", ignored);
    return 0;
}
