#include "services/scanner/usage_scanner.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "services/scanner/owner_cache.h"

namespace {

// Paths beyond MAX_PATH need the "\\?\" form with the A functions.
std::string ApiPath(const std::string& path) {
    if (path.size() < MAX_PATH - 2 || path.rfind("\\\\", 0) == 0)
        return path;
    return "\\\\?\\" + path;
}

struct Totals {
    uint64_t bytes = 0;
    uint64_t files = 0;
    uint64_t folders = 0;
    uint64_t unreadable = 0;
    std::map<OwnerId, uint64_t> bytesByOwner;
};

// Lists the folders of one tree on several threads: each lists a folder at a time and queues
// the subfolders it finds for whichever thread is free.
class TreeWalk {
public:
    TreeWalk(OwnerCache* owners, uint64_t scan) : m_owners(owners), m_scan(scan) {}

    Totals Run(const std::string& root, unsigned threads) {
        m_pending.push_back(root);
        std::vector<Totals> totals(threads);
        std::vector<std::thread> helpers;
        for (unsigned i = 1; i < threads; ++i)
            helpers.emplace_back([this, &totals, i] { Work(totals[i]); });
        Work(totals[0]);
        for (std::thread& helper : helpers)
            helper.join();
        Totals sum;
        for (const Totals& part : totals) {
            sum.bytes += part.bytes;
            sum.files += part.files;
            sum.folders += part.folders;
            sum.unreadable += part.unreadable;
            for (const auto& [owner, bytes] : part.bytesByOwner)
                sum.bytesByOwner[owner] += bytes;
        }
        return sum;
    }

private:
    void Work(Totals& totals) {
        std::vector<std::string> found;
        for (;;) {
            std::string folder;
            {
                std::unique_lock lock(m_lock);
                m_wake.wait(lock, [this] { return !m_pending.empty() || m_busy == 0; });
                if (m_pending.empty())
                    return;
                folder = std::move(m_pending.back());
                m_pending.pop_back();
                ++m_busy;
            }
            found.clear();
            List(folder, totals, found);
            std::lock_guard lock(m_lock);
            for (std::string& subfolder : found)
                m_pending.push_back(std::move(subfolder));
            --m_busy;
            m_wake.notify_all();
        }
    }

    void List(const std::string& folder, Totals& totals, std::vector<std::string>& subfolders) {
        std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileExA(ApiPath(prefix + "*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (search == INVALID_HANDLE_VALUE) {
            ++totals.unreadable;
            return;
        }
        std::vector<OwnedFile> owned;
        do {
            const char* name = data.cFileName;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                ++totals.folders;
                // A junction or link to a folder belongs to another tree (and may loop).
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    subfolders.push_back(prefix + name);
                continue;
            }
            uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
            totals.bytes += size;
            ++totals.files;
            if (m_owners)
                owned.push_back({name, size, data.ftCreationTime, data.ftLastWriteTime});
        } while (FindNextFileA(search, &data));
        FindClose(search);
        if (m_owners && !owned.empty()) {
            m_owners->ResolveOwners(folder, owned, m_scan);
            for (const OwnedFile& file : owned)
                totals.bytesByOwner[file.owner] += file.size;
        }
    }

    OwnerCache* m_owners;
    uint64_t m_scan;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<std::string> m_pending;
    int m_busy = 0;
};

unsigned WalkThreads() {
    unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores, 1u, 4u);
}

} // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

UsageScanner::UsageScanner() : m_owners(std::make_unique<OwnerCache>()) {}

UsageScanner::~UsageScanner() = default;

UsageResult UsageScanner::Scan(const std::string& folder, bool attributeOwners) {
    UsageResult result;
    std::string root = folder;
    while (root.size() > 3 && root.back() == '\\')
        root.pop_back();
    DWORD attributes = GetFileAttributesA(ApiPath(root).c_str());
    if (root.empty() || attributes == INVALID_FILE_ATTRIBUTES) {
        result.error = root.empty() ? ERROR_INVALID_PARAMETER : GetLastError();
        return result;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result.error = ERROR_DIRECTORY;
        return result;
    }
    uint64_t scan = m_owners->BeginScan();
    TreeWalk walk(attributeOwners ? m_owners.get() : nullptr, scan);
    Totals totals = walk.Run(root, WalkThreads());
    result.totalBytes = totals.bytes;
    result.fileCount = totals.files;
    result.folderCount = totals.folders;
    result.unreadable = totals.unreadable;
    if (attributeOwners) {
        for (const auto& [owner, bytes] : totals.bytesByOwner)
            result.bytesByOwner[m_owners->AccountName(owner)] += bytes;
        if (totals.unreadable == 0)
            m_owners->DropUnseen(root, scan);
    }
    return result;
}

uint64_t UsageScanner::SecurityReads() const {
    return m_owners->SecurityReads();
}

uint64_t UsageScanner::AccountLookups() const {
    return m_owners->AccountLookups();
}

void UsageScanner::ForgetOwners() {
    m_owners->Clear();
}
