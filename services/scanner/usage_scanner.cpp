#include "services/scanner/usage_scanner.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "services/scanner/folder_listing.h"
#include "services/scanner/owner_cache.h"
#include "services/scanner/walk_helpers.h"

namespace {

// Folders waiting to be listed before a walk takes more workers (threads or helpers): smaller
// trees are done by the scanning thread alone.
constexpr size_t kFoldersToShare = 4;
// Entries a helper lists below the folders it was given before it hands back the folders left,
// so that one large subtree is shared out too.
constexpr uint32_t kHelperBudget = 4096;
// The most folders a helper is given at once. A helper takes a share of the folders waiting,
// so that many small folders do not cost a request each.
constexpr size_t kLargestHelperShare = 64;

struct Totals : WalkTotals {
    std::map<OwnerId, uint64_t> bytesByOwner;

    void Add(const Totals& other) {
        WalkTotals::Add(other);
        for (const auto& [owner, bytes] : other.bytesByOwner)
            bytesByOwner[owner] += bytes;
    }
};

// Lists the folders of one tree with several workers: threads of this process, each listing a
// folder at a time, and threads that each drive a helper process, which walks the whole subtree
// below a folder. Every worker queues the folders it leaves for whichever worker is free.
class TreeWalk {
public:
    TreeWalk(OwnerCache* owners, uint64_t scan, const std::function<void(DWORD)>& sent,
             std::atomic<uint64_t>& helperWalks)
        : m_owners(owners), m_scan(scan), m_sent(sent), m_helperWalks(helperWalks) {}

    // Walks with `threads` (at least 1) threads of this process, the caller's included, and, once
    // enough folders wait, with the helpers that `helpers` lends (sizes only).
    Totals Run(const std::string& root, unsigned threads, WalkHelpers* helpers) {
        m_pending.push_back(root);
        // Small trees are done here alone: a thread costs Wine milliseconds to start
        // (docs/wine.md), more than listing a few folders.
        Totals early;
        std::vector<std::string> found;
        while (!m_pending.empty() && m_pending.size() < kFoldersToShare) {
            found.clear();
            ListHere(m_pending.front(), early, found);
            m_pending.pop_front();
            m_pending.insert(m_pending.end(), found.begin(), found.end());
        }
        if (m_pending.empty())
            return early;
        Totals sum;
        if (helpers) {
            WalkHelpers::Lease lease = helpers->Borrow();
            sum = RunWorkers(threads, lease.Helpers());
        } else {
            sum = RunWorkers(threads, {});
        }
        sum.Add(early);
        return sum;
    }

private:
    Totals RunWorkers(unsigned threads, const std::vector<std::unique_ptr<WalkHelper>>& helpers) {
        std::vector<WalkHelper*> workers(threads, nullptr);
        for (const auto& helper : helpers)
            workers.push_back(helper.get());
        std::vector<Totals> totals(workers.size());
        std::vector<std::thread> others;
        for (size_t i = 1; i < workers.size(); ++i)
            others.emplace_back(
                [this, &workers, &totals, i] { Work(workers[i], workers.size(), totals[i]); });
        Work(workers[0], workers.size(), totals[0]);
        for (std::thread& other : others)
            other.join();
        Totals sum;
        for (const Totals& part : totals)
            sum.Add(part);
        return sum;
    }

    // Lists folders in this process while `helper` is null; otherwise hands subtrees to it until
    // it fails, and then lists in this process.
    void Work(WalkHelper* helper, size_t workers, Totals& totals) {
        std::vector<std::string> folders, found;
        for (;;) {
            folders.clear();
            {
                std::unique_lock lock(m_lock);
                m_wake.wait(lock, [this] { return !m_pending.empty() || m_busy == 0; });
                if (m_pending.empty())
                    return;
                // A helper takes the folders queued first, the largest subtrees left.
                if (helper) {
                    size_t share = std::clamp<size_t>(m_pending.size() / (2 * workers), 1,
                                                      kLargestHelperShare);
                    for (; share > 0; --share) {
                        folders.push_back(std::move(m_pending.front()));
                        m_pending.pop_front();
                    }
                } else {
                    folders.push_back(std::move(m_pending.back()));
                    m_pending.pop_back();
                }
                ++m_busy;
            }
            found.clear();
            if (helper && !WalkInHelper(*helper, folders, totals, found)) {
                helper = nullptr;
                found = folders; // listed here instead
            } else if (!helper) {
                ListHere(folders.front(), totals, found);
            }
            std::lock_guard lock(m_lock);
            for (std::string& subfolder : found)
                m_pending.push_back(std::move(subfolder));
            --m_busy;
            m_wake.notify_all();
        }
    }

    // Adds what the helper walked below `folders` to `totals` and the folders it left to `left`;
    // false, with nothing added, when the helper failed.
    bool WalkInHelper(WalkHelper& helper, const std::vector<std::string>& folders, Totals& totals,
                      std::vector<std::string>& left) {
        if (!helper.Send(folders, kHelperBudget))
            return false;
        if (m_sent)
            m_sent(helper.ProcessId());
        WalkTotals walked;
        if (!helper.Receive(walked, left))
            return false;
        totals.WalkTotals::Add(walked);
        ++m_helperWalks;
        return true;
    }

    void ListHere(const std::string& folder, Totals& totals, std::vector<std::string>& subfolders) {
        std::vector<OwnedFile> owned;
        ListFolder(folder, totals, subfolders, m_owners ? &owned : nullptr);
        if (owned.empty())
            return;
        m_owners->ResolveOwners(folder, owned, m_scan);
        for (const OwnedFile& file : owned)
            totals.bytesByOwner[file.owner] += file.size;
    }

    OwnerCache* m_owners;
    uint64_t m_scan;
    const std::function<void(DWORD)>& m_sent;
    std::atomic<uint64_t>& m_helperWalks;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::string> m_pending;
    int m_busy = 0;
};

// Processor cores, up to 4: the threads of an owner scan (reading security descriptors gains a
// little from a second thread, listing alone does not: see docs/wine.md) and the helpers of a
// sizes-only one.
unsigned WalkersWanted() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
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
    TreeWalk walk(attributeOwners ? m_owners.get() : nullptr, scan, m_helperRequestSent,
                  m_helperWalks);
    // A sizes-only walk lists in one thread here: a second would only wait for the first.
    Totals totals = attributeOwners ? walk.Run(root, WalkersWanted(), nullptr)
                                    : walk.Run(root, 1, m_helpers.get());
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

void UsageScanner::UseWalkHelpers(const std::string& program, unsigned count) {
    m_helpers = std::make_unique<WalkHelpers>(program, count ? count : WalkersWanted());
}

void UsageScanner::WatchHelperRequests(std::function<void(DWORD)> sent) {
    m_helperRequestSent = std::move(sent);
}

std::string WalkHelperBesideThisProgram() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string program(path, length);
    return program.substr(0, program.find_last_of('\\') + 1) + "axscan.exe";
}
