// The eight report kinds, built from one survey of the object's files.
#include "services/axpolicy/file_survey.h"
#include "services/axpolicy/reports.h"
#include "services/scanner/usage_scanner.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

constexpr size_t kRowLimit = 100;
constexpr uint64_t kTicksPerDay = 864000000000ull;
constexpr uint64_t kNewFileDays = 7;

std::string Percent(uint64_t part, uint64_t whole) {
    if (whole == 0)
        return "0";
    char text[32];
    snprintf(text, sizeof text, "%.1f",
             100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

std::string LocalTime(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &t))
        return "";
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    return text;
}

uint64_t NowTicks() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

uint64_t DaysSince(const FILETIME& time, uint64_t now) {
    uint64_t then = Ticks(time);
    return then >= now ? 0 : (now - then) / kTicksPerDay;
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The files sorted by `before`, the first kRowLimit of them as rows made by `row`.
template <typename Before, typename Row>
void SortedRows(ReportTable& report, std::vector<const SurveyedFile*> files, Before before,
                Row row) {
    size_t count = std::min(files.size(), kRowLimit);
    std::partial_sort(files.begin(), files.begin() + count, files.end(), before);
    for (size_t i = 0; i < count; ++i)
        report.rows.push_back(row(*files[i]));
}

struct Context {
    const AllotrixBaseDbRec& record;
    int threshold;
    const FolderSurvey& survey;
    std::vector<const SurveyedFile*> files;
    uint64_t totalBytes = 0;
    uint64_t now = NowTicks();
};

void Summary(ReportTable& report, const Context& c) {
    const AllotrixBaseDbRec& r = c.record;
    report.columns = {"Item", "Value"};
    std::string owner = r.GetFileOwner();
    report.rows = {
        {"Object", r.GetMappedName(1)},
        {"Owner", owner.empty() ? "(the object's own quota)" : owner},
        {"Threshold", std::to_string(c.threshold) + " (" +
                          std::to_string(r.GetThreshPercent(c.threshold)) + "%)"},
        {"Permanent quota (bytes)", std::to_string(r.GetPermQuota())},
        {"Overdraft (bytes)", std::to_string(r.GetOverDraft())},
        {"Space used (bytes)", std::to_string(r.GetUsedQuota())},
        {"Percent used", Percent(r.GetUsedQuota(), r.GetPermQuota())},
        {"High-water mark (bytes)", std::to_string(r.GetHighWaterMark())},
        {"Files", std::to_string(c.survey.files.size())},
        {"Folders", std::to_string(c.survey.folders)},
        {"Bytes in files", std::to_string(c.totalBytes)},
    };
}

void LargeFiles(ReportTable& report, const Context& c) {
    report.columns = {"File", "Size (bytes)", "Last written"};
    SortedRows(
        report, c.files, [](auto* a, auto* b) { return a->size > b->size; },
        [](const SurveyedFile& f) {
            return std::vector<std::string>{f.path, std::to_string(f.size), LocalTime(f.written)};
        });
}

// The files whose `time` lies furthest back first, with that time and the days since.
void OldestFirst(ReportTable& report, const Context& c, FILETIME SurveyedFile::*time,
                 const char* timeHeading, const char* daysHeading) {
    report.columns = {"File", "Size (bytes)", timeHeading, daysHeading};
    SortedRows(
        report, c.files, [time](auto* a, auto* b) { return Ticks(a->*time) < Ticks(b->*time); },
        [&](const SurveyedFile& f) {
            return std::vector<std::string>{f.path, std::to_string(f.size), LocalTime(f.*time),
                                            std::to_string(DaysSince(f.*time, c.now))};
        });
}

void AgedFiles(ReportTable& report, const Context& c) {
    OldestFirst(report, c, &SurveyedFile::written, "Last written", "Age (days)");
}

void LastAccess(ReportTable& report, const Context& c) {
    OldestFirst(report, c, &SurveyedFile::accessed, "Last access", "Days since");
}

void NewFiles(ReportTable& report, const Context& c) {
    report.columns = {"File", "Size (bytes)", "Created"};
    report.notes.push_back("Files created in the last " + std::to_string(kNewFileDays) + " days.");
    std::vector<const SurveyedFile*> recent;
    for (const SurveyedFile* file : c.files)
        if (DaysSince(file->created, c.now) < kNewFileDays)
            recent.push_back(file);
    SortedRows(
        report, recent, [](auto* a, auto* b) { return Ticks(a->created) > Ticks(b->created); },
        [](const SurveyedFile& f) {
            return std::vector<std::string>{f.path, std::to_string(f.size), LocalTime(f.created)};
        });
}

void DuplicateFiles(ReportTable& report, const Context& c) {
    report.columns = {"Name", "Size (bytes)", "Copies", "Wasted (bytes)", "Files"};
    std::map<std::pair<std::string, uint64_t>, std::vector<const SurveyedFile*>> groups;
    for (const SurveyedFile* file : c.files) {
        std::string name = NameOf(file->path);
        CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
        groups[{name, file->size}].push_back(file);
    }
    std::vector<const std::vector<const SurveyedFile*>*> duplicates;
    for (const auto& [key, files] : groups)
        if (files.size() > 1)
            duplicates.push_back(&files);
    std::sort(duplicates.begin(), duplicates.end(), [](auto* a, auto* b) {
        return a->front()->size * (a->size() - 1) > b->front()->size * (b->size() - 1);
    });
    for (size_t i = 0; i < duplicates.size() && i < kRowLimit; ++i) {
        const auto& files = *duplicates[i];
        std::string paths;
        for (const SurveyedFile* file : files)
            paths += (paths.empty() ? "" : "; ") + file->path;
        report.rows.push_back({NameOf(files.front()->path), std::to_string(files.front()->size),
                               std::to_string(files.size()),
                               std::to_string(files.front()->size * (files.size() - 1)), paths});
    }
}

void DirectoryUsage(ReportTable& report, const Context& c) {
    report.columns = {"Folder", "Files", "Bytes", "Percent of object"};
    std::string root = c.record.GetMappedName(1);
    std::map<std::string, std::pair<uint64_t, uint64_t>> folders; // files, bytes
    for (const SurveyedFile* file : c.files) {
        size_t next = file->path.find('\\', root.size() + 1);
        std::string folder = next == std::string::npos ? root : file->path.substr(0, next);
        folders[folder].first += 1;
        folders[folder].second += file->size;
    }
    std::vector<std::pair<std::string, std::pair<uint64_t, uint64_t>>> sorted(folders.begin(),
                                                                              folders.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](auto& a, auto& b) { return a.second.second > b.second.second; });
    for (const auto& [folder, usage] : sorted)
        report.rows.push_back({folder, std::to_string(usage.first), std::to_string(usage.second),
                               Percent(usage.second, c.totalBytes)});
}

void UsageByOwner(ReportTable& report, const Context& c) {
    report.columns = {"Owner", "Bytes", "Percent of object"};
    UsageScanner scanner;
    UsageResult usage = scanner.Scan(c.record.GetMappedName(1), true);
    std::vector<std::pair<std::string, uint64_t>> owners(usage.bytesByOwner.begin(),
                                                         usage.bytesByOwner.end());
    std::stable_sort(owners.begin(), owners.end(),
                     [](auto& a, auto& b) { return a.second > b.second; });
    for (const auto& [owner, bytes] : owners)
        report.rows.push_back({owner.empty() ? "(unknown)" : owner, std::to_string(bytes),
                               Percent(bytes, usage.totalBytes)});
}

struct Kind {
    eQuotaPolicyAttributeFlags bit;
    const char* title;
    const char* stem;
    void (*build)(ReportTable&, const Context&);
};

const Kind kKinds[] = {
    {PolReportSummary, "Summary", "Summary", Summary},
    {PolReportLarge, "Large Files", "LargeFiles", LargeFiles},
    {PolReportAged, "Aged Files", "AgedFiles", AgedFiles},
    {PolReportLastAccess, "Last Access", "LastAccess", LastAccess},
    {PolReportNew, "New Files", "NewFiles", NewFiles},
    {PolReportDuplicates, "Duplicate Files", "DuplicateFiles", DuplicateFiles},
    {PolReportDirUsage, "Directory Usage", "DirectoryUsage", DirectoryUsage},
    {PolReportUsageByOwner, "Usage by Owner", "UsageByOwner", UsageByOwner},
};

} // namespace

std::vector<ReportTable> BuildReports(uint32_t policyBits, const AllotrixBaseDbRec& record,
                                      int threshold) {
    std::vector<ReportTable> reports;
    bool any = false;
    for (const Kind& kind : kKinds)
        any = any || (policyBits & kind.bit);
    if (!any)
        return reports;
    FolderSurvey survey = SurveyFolder(record.GetMappedName(1));
    Context context{record, threshold, survey, {}};
    for (const SurveyedFile& file : survey.files) {
        context.files.push_back(&file);
        context.totalBytes += file.size;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[64];
    snprintf(stamp, sizeof stamp, "Generated %04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
             now.wDay, now.wHour, now.wMinute, now.wSecond);
    for (const Kind& kind : kKinds) {
        if (!(policyBits & kind.bit))
            continue;
        ReportTable report;
        report.title = kind.title;
        report.fileStem = kind.stem;
        report.notes = {std::string("Object: ") + record.GetMappedName(1), stamp};
        if (survey.truncated)
            report.notes.push_back("Only part of the object's files were listed.");
        kind.build(report, context);
        reports.push_back(std::move(report));
    }
    return reports;
}
