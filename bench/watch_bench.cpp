// What watching costs the first scans: lists N empty folders of one parent one after another,
// first unwatched, then each brought under the folder watcher just before its listing (as the
// quota service's first scans do), and prints per tenth of the folders the time per 1,000
// listings and this process's own processor time for them. Time that is neither (the process
// waiting) goes to the system: under Wine, to the wineserver, whose bookkeeping of the watched
// folders grows with their number. `--folders N` (default 100,000; 20,000 with `--quick` or
// KELVANE_BENCH_QUICK=1). The folders are kept under C:\kelvane-watch for the next run.
#include "services/scanner/folder_listing.h"
#include "services/scanner/folder_watcher.h"
#include "services/scanner/wine_host.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kParent[] = "C:\\kelvane-watch\\folders";
constexpr int kTenths = 10;

std::string FolderName(int i) {
    char name[32];
    snprintf(name, sizeof name, "\\f%06d", i);
    return kParent + std::string(name);
}

// Made by a Linux shell: Wine makes each new name only after reading the whole folder for one
// that differs in case, so 100,000 folders made through Wine take the square of their number.
bool EnsureFolders(int count) {
    const std::string parent = HostPath(kParent);
    const std::string marker = "../made-" + std::to_string(count);
    return !parent.empty() &&
           RunHostShell("mkdir -p " + ShellQuoted(parent) + " && cd " + ShellQuoted(parent) +
                            " && [ -e " + marker + " ] && exit 0\nseq -f 'f%06.0f' 0 " +
                            std::to_string(count - 1) + " | xargs mkdir -p && touch " + marker +
                            "\n",
                        3600000) == 0;
}

double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return double((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

struct Tenth {
    double wallMs = 0, processorMs = 0; // per 1,000 folders
};

std::vector<Tenth> ListAll(int count, FolderWatcher* watcher) {
    std::vector<Tenth> tenths;
    std::vector<std::string> subfolders;
    const int perTenth = count / kTenths;
    for (int tenth = 0; tenth < kTenths; ++tenth) {
        const auto start = std::chrono::steady_clock::now();
        const double processor = ProcessorSeconds();
        for (int i = tenth * perTenth; i < (tenth + 1) * perTenth; ++i) {
            const std::string folder = FolderName(i);
            if (watcher)
                watcher->Add(folder, FolderWatcher::Subfolders::ListedByCaller);
            WalkTotals totals;
            subfolders.clear();
            ListFolder(folder, totals, subfolders);
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double scale = 1e6 / perTenth;
        tenths.push_back({wall * scale, (ProcessorSeconds() - processor) * scale});
    }
    return tenths;
}

} // namespace

int main(int argc, char** argv) {
    const char* quick = getenv("KELVANE_BENCH_QUICK");
    int count = quick && strcmp(quick, "1") == 0 ? 20000 : 100000;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--quick") == 0)
            count = 20000;
        else if (strcmp(argv[i], "--folders") == 0 && i + 1 < argc)
            count = atoi(argv[++i]);
    }
    if (count < kTenths || !EnsureFolders(count))
        return 1;
    const std::vector<Tenth> unwatched = ListAll(count, nullptr);
    std::vector<Tenth> watched;
    {
        FolderWatcher watcher([](const std::string&, FolderChange) {});
        watched = ListAll(count, &watcher);
    }
    printf("listing %d empty folders of one parent, per 1,000 folders (ms)\n", count);
    printf("%-12s %12s %12s %12s %12s\n", "folders", "unwatched", "watched", "own time", "waiting");
    for (int tenth = 0; tenth < kTenths; ++tenth) {
        const Tenth& a = unwatched[size_t(tenth)];
        const Tenth& b = watched[size_t(tenth)];
        char range[32];
        snprintf(range, sizeof range, "%d-%d", tenth * count / kTenths,
                 (tenth + 1) * count / kTenths);
        printf("%-12s %12.1f %12.1f %12.1f %12.1f\n", range, a.wallMs, b.wallMs, b.processorMs,
               b.wallMs - b.processorMs);
    }
    return 0;
}
