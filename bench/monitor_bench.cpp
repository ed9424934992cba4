// One refresh cycle of the quota monitor with 10,000 quota records: the refresh thread reads them
// from the running quota service through AXCli, hands them over, and the view rebuilds and sorts
// its rows. Prints the times and the process's memory with the records shown.
#include "client/axcli.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"
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
const char kBenchRoot[] = "C:\\kelvane-bench";

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename Done> bool PumpUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int CountRecords() {
    AXCli client;
    if (client.Connect("") != kAxOk)
        return -1;
    client.EndContext();
    int count = 0;
    AllotrixBaseDbRec record;
    uint32_t status;
    while ((status = client.Get(&record, 1)) == kAxOk || status == kAxSkipRecord)
        count += status == kAxOk;
    client.EndContext();
    client.Disconnect();
    return count;
}

// Installs and starts the service over the benchmark's own store (kept between runs) and saves
// quotas until it holds kRecords of them.
bool PrepareService() {
    std::string error;
    CreateDirectoryA(kBenchRoot, nullptr);
    const std::string install =
        std::string("-install -store \"") + kBenchRoot + "\\store\" -kind 0";
    if (monitor_test::RunServerProgram(install, error) != 0 ||
        monitor_test::RunServerProgram("-start", error) != 0) {
        printf("quota service not available (%s)\n", error.c_str());
        return false;
    }
    int count = CountRecords();
    if (count >= kRecords)
        return true;
    printf("saving %d quotas (once; the store is kept for later runs)...\n", kRecords - count);
    fflush(stdout);
    const auto start = Clock::now();
    AXCli client;
    if (client.Connect("") != kAxOk)
        return false;
    for (int i = 0; i < kRecords; ++i) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%s\\q%05d", kBenchRoot, i);
        if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        AllotrixDbRec record;
        record.SetObjectName("C:", folder + 2);
        record.SetPermQuota((uint64_t{1} + i % 97) * 1024 * 1024);
        record.SetThreshPercent1(90);
        record.SetThreshPercent2(75);
        const uint32_t status = client.Save(&record, 1);
        if (status != kAxOk) {
            printf("saving %s failed: %u\n", folder, status);
            return false;
        }
    }
    client.Disconnect();
    printf("saved in %.0f ms\n", MsSince(start));
    return CountRecords() >= kRecords;
}

void PrintMemory(const char* when) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    printf("memory %s: private %.1f MB, working set %.1f MB (target: under 50 MB)\n", when,
           counters.PrivateUsage / 1048576.0, counters.WorkingSetSize / 1048576.0);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int main() {
    ui::Profile::SetRoot("Ostrel", "KelvaneBench");
    PrintMemory("at start");
    if (!PrepareService())
        return 1;

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
    if (!document.OnOpenDocument("C:\\"))
        return 1;
    printf("first load on the window thread: %zu records in %.1f ms\n",
           document.DisplayedList().size(), MsSince(start));

    monitor::CAXMonView view(document);
    view.SetStartedHidden(true);
    view.SetFrequencySource([] { return 3600u; });
    RECT client{};
    GetClientRect(frame, &client);
    view.Create(frame, client, 0xE900);
    start = Clock::now();
    view.OnInitialUpdate();
    printf("initial update: %d rows in %.1f ms\n", view.GetRowCount(), MsSince(start));
    // Sort by object name, so that every rebuild sorts 10,000 different keys.
    view.OnCellClick(0, kObjectNameColumn, 0, POINT{});

    std::vector<double> cycles, rebuilds;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        // One timer-driven cycle: timer, refresh thread, hand-over, rebuild, sort, timer again.
        view.StopRefreshTimer();
        view.StartRefreshTimer(1);
        start = Clock::now();
        if (!PumpUntil([&] { return !view.IsTimerArmed(); }, 60000) ||
            !PumpUntil([&] { return view.IsTimerArmed(); }, 60000)) {
            printf("the refresh cycle did not complete\n");
            return 1;
        }
        cycles.push_back(MsSince(start));

        start = Clock::now();
        view.LockUpdate(true);
        view.FillRows(document.DisplayedList());
        view.SortRows();
        view.LockUpdate(false);
        rebuilds.push_back(MsSince(start));
    }
    if (view.GetRowCount() != kRecords && view.GetRowCount() < kRecords)
        printf("warning: only %d rows\n", view.GetRowCount());

    std::sort(cycles.begin(), cycles.end());
    std::sort(rebuilds.begin(), rebuilds.end());
    printf("refresh cycle with %d rows: median %.1f ms, best %.1f ms, worst %.1f ms "
           "(target: under 100 ms)\n",
           view.GetRowCount(), cycles[kCycles / 2], cycles.front(), cycles.back());
    printf("of which rebuild and sort of the rows: median %.1f ms\n", rebuilds[kCycles / 2]);
    PrintMemory("with the rows shown");

    view.StopRefreshTimer();
    DestroyWindow(view.GetHwnd());
    DestroyWindow(frame);
    document.OnCloseDocument();
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
    return 0;
}
