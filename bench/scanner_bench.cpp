// Scan throughput of the usage scanner on a tree of about 20,000 files in the test prefix's
// C: drive, beside the Linux `du` on the same tree (run through Wine's ability to start Linux
// programs), in files per second: sizes only, owners on a first scan, owners on a rescan of the
// unchanged tree. Sizes-only scans run once in this process alone and once with helper processes
// (axscan.exe of this build).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "services/scanner/usage_scanner.h"
#include "services/scanner/wine_host.h"
#include "base/handles.h"

namespace {

constexpr char kTree[] = "C:\\bench-tree";
constexpr int kTopFolders = 20;
constexpr int kSubFolders = 10;
constexpr int kFilesPerFolder = 100;
constexpr uint64_t kFiles = uint64_t{kTopFolders} * kSubFolders * kFilesPerFolder;

double Seconds(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

bool WriteSmallFile(const std::string& path, size_t size) {
    static const std::string block(8192, 'k');
    base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), block.data(), DWORD(size), &written, nullptr);
}

// Builds the tree once; a marker file records that it is complete.
bool EnsureTree() {
    std::string marker = std::string(kTree) + "\\complete.txt";
    if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    printf("building %s (%llu files)...\n", kTree, (unsigned long long)kFiles);
    CreateDirectoryA(kTree, nullptr);
    for (int top = 0; top < kTopFolders; ++top) {
        std::string topFolder = std::string(kTree) + "\\dept" + std::to_string(top);
        CreateDirectoryA(topFolder.c_str(), nullptr);
        for (int sub = 0; sub < kSubFolders; ++sub) {
            std::string folder = topFolder + "\\project" + std::to_string(sub);
            CreateDirectoryA(folder.c_str(), nullptr);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                std::string file = folder + "\\file" + std::to_string(i) + ".dat";
                if (!WriteSmallFile(file, (i * 37) % 8192))
                    return false;
            }
        }
    }
    return WriteSmallFile(marker, 0);
}

// Seconds `du` needs for the tree (best of three), or a negative number when it cannot run.
double TimeDu(const std::string& hostTree) {
    if (hostTree.empty())
        return -1;
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        std::string script = "s=$(date +%s%N)\ndu -s --apparent-size " + ShellQuoted(hostTree) +
                             " >/dev/null || exit 1\ne=$(date +%s%N)\nexit 0\n";
        // The elapsed time travels through a file of its own: the exit status holds 8 bits.
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        std::string timeFile = std::string(temp) + "kelvane-bench-du.txt";
        script.insert(script.rfind("exit 0"),
                      "echo $((e-s)) > " + ShellQuoted(HostPath(timeFile)) + "\n");
        if (RunHostShell(script, 120000) != 0)
            return -1;
        std::ifstream result(timeFile);
        long long nanoseconds = -1;
        result >> nanoseconds;
        result.close();
        DeleteFileA(timeFile.c_str());
        if (nanoseconds <= 0)
            return -1;
        double seconds = nanoseconds / 1e9;
        if (best < 0 || seconds < best)
            best = seconds;
    }
    return best;
}

// The best of three sizes-only scans, in seconds.
double BestSizesScan(UsageScanner& scanner, UsageResult& result) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        result = scanner.Scan(kTree, false);
        best = std::min(best, Seconds(start));
    }
    return best;
}

void PrintRate(const char* what, uint64_t files, double seconds) {
    printf("%-34s %10.0f files/s  (%llu files in %.3f s)\n", what, files / seconds,
           (unsigned long long)files, seconds);
}

} // namespace

int main() {
    if (!EnsureTree()) {
        printf("cannot build %s: error %lu\n", kTree, GetLastError());
        return 1;
    }
    UsageScanner alone;
    alone.Scan(kTree, false); // warm the file-system caches as du's runs warm them for du
    UsageResult sizes;
    double aloneBest = BestSizesScan(alone, sizes);
    PrintRate("scanner, sizes only, in-process", sizes.fileCount, aloneBest);

    UsageScanner shared;
    shared.UseWalkHelpers(WindowsPathOfHost(KELVANE_AXSCAN_EXE));
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    shared.Scan(kTree, false);
    double firstShared = Seconds(start);
    double best = BestSizesScan(shared, sizes);
    PrintRate("scanner, sizes only, helpers", sizes.fileCount, best);
    printf("%-34s %10.3f s (helpers started on it)\n", "first scan with helpers", firstShared);
    printf("%-34s %10llu\n", "subtrees walked by helpers",
           (unsigned long long)shared.HelperWalks());

    double du = TimeDu(HostPath(kTree));
    if (du > 0)
        PrintRate("du --apparent-size (best of 3)", sizes.fileCount, du);
    else
        printf("du: could not be run from this prefix\n");
    if (du > 0)
        printf("%-34s %10.2f in-process, %.2f with helpers\n", "scanner rate / du rate",
               du / aloneBest, du / best);

    UsageScanner owners;
    QueryPerformanceCounter(&start);
    UsageResult first = owners.Scan(kTree, true);
    PrintRate("scanner, owners, first scan", first.fileCount, Seconds(start));
    uint64_t reads = owners.SecurityReads();
    QueryPerformanceCounter(&start);
    UsageResult again = owners.Scan(kTree, true);
    PrintRate("scanner, owners, unchanged rescan", again.fileCount, Seconds(start));
    printf("%-34s %10llu on the first scan, %llu on the rescan\n", "security descriptors read",
           (unsigned long long)reads, (unsigned long long)(owners.SecurityReads() - reads));
    printf("%-34s %10zu\n", "owner accounts", again.bytesByOwner.size());
    printf("%-34s %10llu bytes in %llu files and %llu folders\n", "tree",
           (unsigned long long)sizes.totalBytes, (unsigned long long)sizes.fileCount,
           (unsigned long long)sizes.folderCount);
    return 0;
}
