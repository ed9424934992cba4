// The quota service and the console at growing numbers of quotas: object quotas over folders
// with `--files` small files each (none by default), at 1,000, 10,000 and 100,000 quotas
// (`--quick`, or KELVANE_BENCH_QUICK=1: 1,000 and 10,000; `--records N,N...` for other sizes).
// For each size the quota service is installed over a store of that many quotas and started;
// the benchmark measures the first scans after the start and the service's peak memory, the
// enumeration of every record through AXCli, and the console's refresh cycle: its time, the
// longest time its message loop was blocked, the console's working set, and the time it takes
// to keep the user's place over a rebuild of the rows. The table at the
// end gives each figure's growth per tenfold size.
//
// Folders and stores are kept under C:\kelvane-scale for the next run: writing 100,000 durable
// records takes a while.
#include "bench/scale_figures.h"
#include "client/axcli.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"
#include "monitor/monitor_messages.h"
#include "monitor/row_place.h"
#include "services/scanner/wine_host.h"
#include "services/store/quota_store.h"
#include "base/handles.h"
#include "ui/profile.h"

#include "tools/server_program.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kBenchRoot[] = "C:\\kelvane-scale";
constexpr int kCycles = 5;
constexpr int kEnumerations = 5;
constexpr int kObjectNameColumn = 4; // in the default column layout
constexpr double kMB = 1048576.0;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

struct Options {
    std::vector<int> sizes{1000, 10000, 100000};
    int files = 0; // per object folder
};

bool ParseOptions(int argc, char** argv, Options& options) {
    const char* quick = getenv("KELVANE_BENCH_QUICK");
    if (quick && *quick && strcmp(quick, "0") != 0)
        options.sizes = {1000, 10000};
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--quick") {
            options.sizes = {1000, 10000};
        } else if (argument == "--records" && i + 1 < argc) {
            options.sizes.clear();
            for (const char* at = argv[++i]; *at;) {
                char* end = nullptr;
                long size = strtol(at, &end, 10);
                if (end == at || size <= 0)
                    return false;
                options.sizes.push_back(int(size));
                at = *end == ',' ? end + 1 : end;
            }
        } else if (argument == "--files" && i + 1 < argc) {
            options.files = atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return !options.sizes.empty() && options.files >= 0;
}

std::string SizeRoot(int size, int files) {
    return std::string(kBenchRoot) + "\\" + std::to_string(size) + "-" + std::to_string(files);
}

std::string QuotaFolder(const std::string& root, int i) {
    char name[16];
    snprintf(name, sizeof name, "\\q%06d", i);
    return root + "\\objects" + name;
}

// Makes the object folders with the host's shell: far quicker than folder by folder through
// Wine.
bool EnsureFolders(const std::string& root, int size, int files) {
    std::string objects = HostPath(root + "\\objects");
    if (objects.empty())
        return false;
    std::string script = "mkdir -p " + ShellQuoted(objects) + " && cd " + ShellQuoted(objects) +
                         " && [ -f ../complete ] && exit 0\nseq -f 'q%06.0f' 0 " +
                         std::to_string(size - 1) + " | xargs mkdir -p || exit 1\n";
    if (files > 0)
        script += "for d in q*; do for f in $(seq 1 " + std::to_string(files) +
                  "); do head -c $((f * 37)) /dev/zero > $d/f$f; done; done\n";
    script += "touch ../complete\n";
    return RunHostShell(script, 3600000) == 0;
}

// Writes the quotas straight into a store while no service has it open: saving them through the
// service would queue a scan and a watch for each.
bool EnsureStore(const std::string& root, int size) {
    QuotaStore quotas;
    if (quotas.Open(root + "\\store") != ERROR_SUCCESS)
        return false;
    if (quotas.Count() >= size_t(size))
        return true;
    printf("  writing %d quotas into the store (kept for later runs)...\n", size);
    const auto start = Clock::now();
    for (int i = int(quotas.Count()); i < size; ++i) {
        const std::string folder = QuotaFolder(root, i);
        AllotrixDbRec record;
        record.SetObjectName("C:", folder.c_str() + 2);
        record.TurnAttributeOn(AttrAbsolute);
        record.SetPermQuota((uint64_t{1} + i % 97) * 1024 * 1024);
        record.SetThreshPercent1(90);
        record.SetThreshPercent2(75);
        if (quotas.Save(record) != ERROR_SUCCESS)
            return false;
    }
    quotas.Compact();
    printf("  written in %.0f s\n", MsSince(start) / 1000);
    return true;
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
    return census;
}

// The quota service's process, for its memory figures.
base::UniqueHandleKernel OpenServiceProcess() {
    base::UniqueService manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    base::UniqueService service(
        manager ? OpenServiceA(manager.Get(), "AXServer", SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service || !QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO,
                                          reinterpret_cast<BYTE*>(&status), sizeof status, &needed))
        return {};
    return base::UniqueHandleKernel(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, status.dwProcessId));
}

PROCESS_MEMORY_COUNTERS MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return counters;
}

struct SizeFigures {
    double firstScansS = -1, serviceMB = -1, enumerationMs = -1;
    double cycleMs = -1, blockedMs = -1, consoleMB = -1, placeMs = -1;
};

// Starts the service and waits until every record has had its first scan; false when the service
// cannot be reached, or not every record shows.
bool TimeFirstScans(int size, SizeFigures& figures) {
    std::string error;
    const auto start = Clock::now();
    if (server_program::RunServerProgram("-start", error) != 0) {
        printf("  the quota service does not start (%s)\n", error.c_str());
        return false;
    }
    base::UniqueHandleKernel process = OpenServiceProcess();
    int lastWaiting = -1;
    double lastLookAt = 0;
    for (;;) {
        const auto looked = Clock::now();
        const Census census = TakeCensus();
        const double lookMs = MsSince(looked);
        // The end as the scans' rate so far foretells it, so that the last look is not late by a
        // whole pause (which grows with the size, each look taking longer).
        double dueMs = 1e9;
        const double now = MsSince(start);
        if (lastWaiting > census.waitingScan && census.records >= size)
            dueMs = census.waitingScan * (now - lastLookAt) / (lastWaiting - census.waitingScan);
        lastWaiting = census.waitingScan;
        lastLookAt = now;
        if (census.records < size) {
            printf("  %d of %d records listed\n", census.records, size);
            if (MsSince(start) > 60000)
                return false;
        } else if (census.waitingScan == 0) {
            break;
        }
        if (MsSince(start) > 1800000)
            return printf("  first scans not over after 30 minutes\n"), false;
        // Each look enumerates every record: it takes the service a twentieth of its time at most,
        // but for the last look, taken when the end is due.
        Sleep(DWORD(std::max(100.0, std::min(dueMs, std::max(500.0, 19 * lookMs)))));
    }
    figures.firstScansS = MsSince(start) / 1000;
    if (process)
        figures.serviceMB = MemoryOf(process.Get()).PeakWorkingSetSize / kMB;
    printf("  first scans %.1f s, service peak %.1f MB\n", figures.firstScansS, figures.serviceMB);
    return true;
}

void TimeEnumeration(SizeFigures& figures) {
    std::vector<double> times;
    size_t count = 0;
    AXCli client;
    if (client.Connect("") != kAxOk)
        return;
    for (int run = 0; run < kEnumerations; ++run) {
        const auto start = Clock::now();
        client.EndContext();
        AllotrixBaseDbRec record;
        count = 0;
        uint32_t status;
        while ((status = client.Get(&record, 1)) == kAxOk || status == kAxSkipRecord)
            ++count;
        client.EndContext();
        times.push_back(MsSince(start));
    }
    figures.enumerationMs = Median(times);
    printf("  enumerating %zu records: median %.1f ms\n", count, figures.enumerationMs);
}

// Runs one timer-driven refresh cycle, pumping this thread's messages itself; returns the cycle's
// time and the longest message dispatch in `longest`, or a negative time when it does not end.
double RunCycle(monitor::CAXMonView& view, double& longest) {
    view.StopRefreshTimer();
    view.StartRefreshTimer(1);
    const auto start = Clock::now();
    bool shown = false;
    while (!shown || !view.IsTimerArmed()) {
        if (MsSince(start) > 60000)
            return -1;
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        shown = shown || (message.hwnd == view.Handle() && message.message == WM_AXMON_REFRESHED);
        const auto dispatched = Clock::now();
        TranslateMessage(&message);
        DispatchMessageA(&message);
        longest = std::max(longest, MsSince(dispatched));
    }
    return MsSince(start);
}

// The user's place kept over a rebuild of the rows, with every tenth row selected and the
// current cell and top row half way down: the time of taking it and of putting it back.
double TimeKeepingThePlace(monitor::CAXMonView& view, monitor::CAXMonDoc& document) {
    const int rows = view.GetRowCount();
    if (rows < 2)
        return -1;
    view.LockUpdate(true);
    for (int row = 1; row <= rows; row += 10)
        view.SelectRow(row, true);
    view.SetCurrentCell(rows / 2, 2);
    view.ScrollToRow(rows / 2);
    auto start = Clock::now();
    monitor::RowPlace place;
    place.Capture(view);
    double placeMs = MsSince(start);
    view.FillRows(document.DisplayedList());
    view.SortRows();
    start = Clock::now();
    place.Restore(view);
    placeMs += MsSince(start);
    view.LockUpdate(false);
    printf("  the user's place (%zu selected rows) kept over a rebuild in %.1f ms\n",
           view.GetSelectedRows().size(), placeMs);
    return placeMs;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void TimeConsole(int size, SizeFigures& figures) {
    HWND frame = CreateWindowExA(0, "KelvaneBenchFrame", "Kelvane", WS_OVERLAPPEDWINDOW, 0, 0, 1280,
                                 900, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    {
        monitor::CAXMonDoc document;
        document.SetMainWindow(frame);
        document.SetStartedHidden(true);
        if (!document.OnOpenDocument("C:\\"))
            return;
        monitor::CAXMonView view(document);
        view.SetStartedHidden(true);
        view.SetFrequencySource([] { return 3600u; });
        RECT client{};
        GetClientRect(frame, &client);
        view.Create(frame, client, 0xE900);
        view.OnInitialUpdate();
        // Sorted by object name, so that every rebuild sorts as many different keys as rows.
        view.OnCellClick(0, kObjectNameColumn, 0, POINT{});
        std::vector<double> cycles;
        double longest = 0;
        for (int cycle = 0; cycle < kCycles; ++cycle)
            cycles.push_back(RunCycle(view, longest));
        figures.cycleMs = *std::min_element(cycles.begin(), cycles.end()) < 0 ? -1 : Median(cycles);
        figures.blockedMs = longest;
        figures.consoleMB = MemoryOf(GetCurrentProcess()).WorkingSetSize / kMB;
        printf("  refresh cycle with %d rows: median %.1f ms, worst %.1f ms; message loop "
               "blocked at most %.1f ms; working set %.1f MB\n",
               view.GetRowCount(), figures.cycleMs, *std::max_element(cycles.begin(), cycles.end()),
               longest, figures.consoleMB);
        // A server of kind 3 lists only drive roots: the test suite, sharing the prefix, switches
        // the kind and reinstalls the service over its own store.
        if (view.GetRowCount() < size)
            printf("  warning: only %d rows of %zu records read, from a server of kind %d\n",
                   view.GetRowCount(), document.DisplayedList().size(), document.ServerKind());
        auto start = Clock::now();
        view.LockUpdate(true);
        view.FillRows(document.DisplayedList());
        const double fill = MsSince(start);
        start = Clock::now();
        view.SortRows();
        view.LockUpdate(false);
        printf("  of the showing: rows rebuilt in %.1f ms, sorted in %.1f ms\n", fill,
               MsSince(start));
        figures.placeMs = TimeKeepingThePlace(view, document);
        view.StopRefreshTimer();
        DestroyWindow(view.Handle());
        document.OnCloseDocument();
    }
    DestroyWindow(frame);
}

SizeFigures MeasureSize(int size, int files) {
    SizeFigures figures;
    printf("== %d quotas, %d files each\n", size, files);
    const std::string root = SizeRoot(size, files);
    CreateDirectoryA(kBenchRoot, nullptr);
    CreateDirectoryA(root.c_str(), nullptr);
    std::string error;
    server_program::StopPolicyService();
    server_program::RunServerProgram("-stop", error);
    if (!EnsureFolders(root, size, files) || !EnsureStore(root, size)) {
        printf("  cannot prepare the folders and the store\n");
        return figures;
    }
    if (server_program::RunServerProgram("-install -store \"" + root + "\\store\" -kind 0",
                                         error) != 0) {
        printf("  cannot install the quota service (%s)\n", error.c_str());
        return figures;
    }
    if (TimeFirstScans(size, figures)) {
        TimeEnumeration(figures);
        TimeConsole(size, figures);
    }
    server_program::RunServerProgram("-stop", error);
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        printf("usage: scale_bench [--quick] [--records N,N...] [--files N]\n");
        return 2;
    }
    ui::Profile::SetRoot("Ostrel", "KelvaneBench");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KelvaneBenchFrame";
    RegisterClassA(&windowClass);

    std::vector<SizeFigures> measured;
    for (int size : options.sizes)
        measured.push_back(MeasureSize(size, options.files));
    // A service left installed would keep the tests that install their own from doing so.
    std::string ignored;
    server_program::RunServerProgram("-uninstall", ignored);
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());

    auto column = [&](double SizeFigures::*figure) {
        std::vector<double> values;
        for (const SizeFigures& figures : measured)
            values.push_back(figures.*figure);
        return values;
    };
    PrintScaleTable(
        options.sizes,
        {{"quota service memory, peak (MB)", "< 400", column(&SizeFigures::serviceMB)},
         {"first scans of every object after a start (s)", "< 60",
          column(&SizeFigures::firstScansS)},
         {"enumerating every record through AXCli (ms)", "< 150",
          column(&SizeFigures::enumerationMs)},
         {"console refresh cycle, median (ms)", "< 500", column(&SizeFigures::cycleMs)},
         {"console message loop blocked, longest (ms)", "", column(&SizeFigures::blockedMs)},
         {"console working set (MB)", "< 250", column(&SizeFigures::consoleMB)},
         {"console keeping the user's place (ms)", "< 100", column(&SizeFigures::placeMs)}});
    return 0;
}
