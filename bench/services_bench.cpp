// The quota service end to end through AXCli: enumerating 10,000 records, rescanning an object
// (sizes only, and with owner quotas on a first and on a later scan) beside the Linux `du` on
// the same tree, and the delay from a file write to the new usage in an enumeration.
//
// The service runs in this process on a store of its own and serves the usual pipe; an installed
// AXServer of the prefix is stopped meanwhile and started again afterwards. The store and the
// trees stay for the next run: filling the store with 10,000 durable saves takes minutes.
#include "client/axcli.h"
#include "services/axserver/pipe_server.h"
#include "services/axserver/quota_service.h"
#include "services/axserver/server_settings.h"
#include "base/service_control.h"
#include "services/scanner/wine_host.h"
#include "base/handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr char kRoot[] = "C:\\kelvane-bench";
constexpr char kStore[] = "C:\\kelvane-bench\\store";
constexpr char kObjects[] = "C:\\kelvane-bench\\objects";
constexpr char kTree[] = "C:\\kelvane-bench\\tree";
constexpr char kDelay[] = "C:\\kelvane-bench\\delay";
constexpr int kRecords = 10000;
constexpr int kTreeFolders = 200;
constexpr int kTreeFilesPerFolder = 100;
// Accounts every prefix knows: owners of the benchmark's owner quotas.
const char* const kOwners[] = {"Administrators", "Users",       "Guests",
                               "Everyone",       "Power Users", "Backup Operators",
                               "SYSTEM",         "INTERACTIVE", "Authenticated Users"};
constexpr int kOwnerCount = sizeof kOwners / sizeof kOwners[0];

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

AllotrixDbRec Record(const std::string& folder, const char* owner, uint64_t quota) {
    AllotrixDbRec record;
    record.SetObjectName(folder.substr(0, 2).c_str(), folder.substr(2).c_str());
    record.SetFileOwner(owner);
    record.SetPermQuota(quota);
    return record;
}

// Fills the tree with the host's shell: far quicker than file by file through Wine.
bool EnsureTree() {
    std::string host = HostPath(kTree);
    if (host.empty())
        return false;
    std::string script = "mkdir -p " + ShellQuoted(host) + " && cd " + ShellQuoted(host) +
                         " && [ -f complete ] && exit 0\nfor d in $(seq 1 " +
                         std::to_string(kTreeFolders) + "); do mkdir -p dir$d; for f in $(seq 1 " +
                         std::to_string(kTreeFilesPerFolder) +
                         "); do head -c $((f * 37)) /dev/zero > dir$d/file$f; done; done\n"
                         "touch complete\n";
    return RunHostShell(script, 600000) == 0;
}

// Seconds `du` needs for the tree (best of three), or a negative number when it cannot run.
double TimeDu() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string timeFile = std::string(temp) + "kelvane-services-du.txt";
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        std::string script = "s=$(date +%s%N)\ndu -s --apparent-size " +
                             ShellQuoted(HostPath(kTree)) +
                             " >/dev/null || exit 1\ne=$(date +%s%N)\necho $((e-s)) > " +
                             ShellQuoted(HostPath(timeFile)) + "\n";
        if (RunHostShell(script, 120000) != 0)
            return -1;
        std::ifstream result(timeFile);
        long long nanoseconds = -1;
        result >> nanoseconds;
        if (nanoseconds > 0 && (best < 0 || nanoseconds / 1e9 < best))
            best = nanoseconds / 1e9;
    }
    return best;
}

bool ListedRecord(AXCli& client, const std::string& folder, const char* owner,
                  AllotrixBaseDbRec& found) {
    bool seen = false;
    client.EndContext();
    AllotrixBaseDbRec record;
    uint32_t status;
    while ((status = client.Get(&record, 1)) == 0 || status == kAxSkipRecord)
        if (!seen && _stricmp(record.GetMappedName(1), folder.c_str()) == 0 &&
            _stricmp(record.GetFileOwner(), owner) == 0) {
            found = record;
            seen = true;
        }
    client.EndContext();
    return seen;
}

bool IsScanned(const AllotrixBaseDbRec& record) {
    return !record.IsAttributeSet(AttrStatus40000000) && !record.IsAttributeSet(AttrStatus100);
}

// Asks for a rescan and waits until every record of the object shows it done; seconds taken.
double TimedRescan(AXCli& client, const std::string& folder, const char* owner) {
    std::string device = folder.substr(0, 2), file = folder.substr(2);
    double start = Now();
    if (client.Scan(device.data(), file.data()) != 0)
        return -1;
    AllotrixDbRec record;
    do
        Sleep(1);
    while (client.Get(&record, device.data(), file.data(), const_cast<char*>(owner), 0) != 0 ||
           !IsScanned(record));
    return Now() - start;
}

void PrintRate(const char* what, double files, double seconds, double du) {
    printf("%-40s %9.0f files/s (%.3f s)", what, files / seconds, seconds);
    if (du > 0)
        printf("  = %.2f of du", du / seconds);
    printf("\n");
}

int Run(QuotaService& service) {
    // 10,000 records: objects with their own quota and owner quotas inside them.
    CreateDirectoryA(kObjects, nullptr);
    double start = Now();
    int saved = 0, added = 0;
    for (int object = 0; saved < kRecords; ++object) {
        char folder[64];
        snprintf(folder, sizeof folder, "%s\\o%04d", kObjects, object);
        CreateDirectoryA(folder, nullptr);
        for (int owner = -1; owner < kOwnerCount && saved < kRecords; ++owner, ++saved) {
            const char* name = owner < 0 ? "" : kOwners[owner];
            AllotrixDbRec record = Record(folder, name, 1 << 20);
            AllotrixDbRec existing;
            if (service.Get(record.GetDeviceName(), folder + 2, name, existing) == 0)
                continue;
            if (service.Save(record) != 0)
                return printf("cannot save a record for %s\n", folder), 1;
            ++added;
        }
    }
    if (added)
        printf("%-40s %9.1f s (%d durable saves)\n", "storing the records", Now() - start, added);

    AXCli client;
    if (client.Connect("") != 0)
        return printf("cannot connect to the pipe\n"), 1;
    // Every object is scanned once at start: measure the rest once that is over.
    start = Now();
    for (bool pending = true; pending && Now() - start < 600;) {
        pending = false;
        client.EndContext();
        AllotrixBaseDbRec record;
        while (client.Get(&record, 1) == 0)
            pending = pending || !IsScanned(record);
        client.EndContext();
    }
    printf("%-40s %9.1f s\n", "first scans of every object", Now() - start);
    std::vector<double> times;
    size_t count = 0;
    for (int run = 0; run < 7; ++run) {
        start = Now();
        client.EndContext();
        AllotrixBaseDbRec record;
        count = 0;
        uint32_t status;
        while ((status = client.Get(&record, 1)) == 0 || status == kAxSkipRecord)
            ++count;
        client.EndContext();
        times.push_back(Now() - start);
    }
    printf("%-40s %9.1f ms median, %.1f ms best (%zu records; target < 100 ms)\n",
           "enumerating through AXCli", Median(times) * 1000,
           *std::min_element(times.begin(), times.end()) * 1000, count);

    // Rescans of one object through the service.
    if (!EnsureTree())
        return printf("cannot build %s\n", kTree), 1;
    double files = double(kTreeFolders) * kTreeFilesPerFolder + 1;
    double du = TimeDu();
    if (du > 0)
        PrintRate("du --apparent-size", files, du, -1);
    else
        printf("du: could not be run from this prefix\n");
    // Sizes only: no owner quota of an earlier run may be left in the kept store.
    service.Delete(std::string(kTree, 2), kTree + 2, "Administrators");
    AllotrixDbRec own = Record(kTree, "", uint64_t{1} << 30);
    service.Save(own);
    TimedRescan(client, kTree, ""); // the first scan after saving
    std::vector<double> sizes;
    for (int run = 0; run < 3; ++run)
        sizes.push_back(TimedRescan(client, kTree, ""));
    PrintRate("rescan, sizes only", files, Median(sizes), du);
    AllotrixDbRec owner = Record(kTree, "Administrators", uint64_t{1} << 30);
    service.Save(owner);
    double first = TimedRescan(client, kTree, "Administrators");
    PrintRate("rescan with owners, first", files, first, du);
    std::vector<double> owners;
    for (int run = 0; run < 3; ++run)
        owners.push_back(TimedRescan(client, kTree, "Administrators"));
    PrintRate("rescan with owners, unchanged tree", files, Median(owners), du);

    // From a file write to the new usage in an enumeration of all records.
    CreateDirectoryA(kDelay, nullptr);
    for (int run = 1; run <= 5; ++run) // left by an earlier run
        DeleteFileA((std::string(kDelay) + "\\file" + std::to_string(run)).c_str());
    AllotrixDbRec watched = Record(kDelay, "", 1 << 20);
    service.Save(watched);
    TimedRescan(client, kDelay, "");
    std::vector<double> delays;
    for (int run = 1; run <= 5; ++run) {
        std::string path = std::string(kDelay) + "\\file" + std::to_string(run);
        start = Now();
        base::UniqueFile file(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::string bytes(1000, 'x');
        DWORD written = 0;
        WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
        file.Reset();
        AllotrixBaseDbRec record;
        while (!ListedRecord(client, kDelay, "", record) || !IsScanned(record) ||
               record.GetUsedQuota() != uint64_t(run) * 1000) {
            if (Now() - start > 30)
                return printf("the write never showed\n"), 1;
        }
        delays.push_back(Now() - start);
    }
    printf("%-40s %9.0f ms median, %.0f ms worst (target < 1 s)\n", "write to usage in a listing",
           Median(delays) * 1000, *std::max_element(delays.begin(), delays.end()) * 1000);
    return 0;
}

} // namespace

int main() {
    DWORD state = 0;
    bool serviceRan =
        QueryServiceState(kQuotaServiceName, nullptr, state) == 0 && state == SERVICE_RUNNING;
    DWORD policyState = 0;
    bool policyRan = QueryServiceState(kPolicyServiceName, nullptr, policyState) == 0 &&
                     policyState == SERVICE_RUNNING;
    if (policyRan)
        StopServiceAndWait(kPolicyServiceName);
    if (serviceRan)
        StopServiceAndWait(kQuotaServiceName);

    setvbuf(stdout, nullptr, _IONBF, 0);
    CreateDirectoryA(kRoot, nullptr);
    int result = 1;
    {
        QuotaService service;
        service.UseWalkHelpers(WindowsPathOfHost(KELVANE_AXSCAN_EXE));
        DWORD error = service.Start(kStore);
        PipeServer pipe(service, ServerIdentity{0, kStore});
        if (error == 0)
            error = pipe.Start("\\\\.\\pipe\\AXServer");
        if (error != 0)
            printf("cannot start the quota service: error %lu\n", error);
        else
            result = Run(service);
        pipe.Stop();
        service.Stop();
    }

    if (serviceRan)
        StartServiceAndWait(kQuotaServiceName);
    if (policyRan)
        StartServiceAndWait(kPolicyServiceName);
    return result;
}
