#include "services/scanner/folder_watcher.h"

#include <algorithm>
#include <deque>
#include <set>
#include <unordered_map>
#include <vector>

#include "services/scanner/folder_listing.h"
#include "services/scanner/owner_cache.h"
#include "services/scanner/wine_host.h"
#include "base/handles.h"

namespace {

constexpr ULONG_PTR kWakeKey = 1; // completion key of the wake-ups of the watcher thread
constexpr DWORD kBufferSize = 64 * 1024;
constexpr DWORD kNotifyFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_CREATION |
                                FILE_NOTIFY_CHANGE_SECURITY;
constexpr ULONGLONG kExistenceCheckMs = 1000; // how often the watched roots are looked for
constexpr size_t kRootsPerCheck = 1000;       // at most this many each time
constexpr ULONGLONG kLongestDelayFactor = 10; // a report waits at most this many quiet periods

std::string WatchKey(const std::string& folder) {
    std::string key = FoldCase(folder);
    while (key.size() > 3 && key.back() == '\\')
        key.pop_back();
    return key;
}

// The folder holding `folder`, or empty for the root of a drive or share.
std::string ParentOf(const std::string& folder) {
    std::string trimmed = folder;
    while (trimmed.size() > 3 && trimmed.back() == '\\')
        trimmed.pop_back();
    size_t slash = trimmed.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == trimmed.size())
        return {};
    std::string parent = trimmed.substr(0, slash);
    if (parent.size() == 2 && parent[1] == ':')
        return parent + "\\";
    if (parent.size() < 2 || parent.find('\\', 2) == std::string::npos)
        return {}; // a share's root is not opened: "\\server" alone is no folder
    return parent;
}

// Keys of the folders below `key` start with this.
std::string BelowPrefix(const std::string& key) {
    return key.back() == '\\' ? key : key + "\\";
}

bool FolderExists(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

base::UniqueFile OpenFolder(const std::string& folder, DWORD flags) {
    return base::UniqueFile(CreateFileA(
        folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// Wine's recursive watch covers a subfolder that existed before it started only once that
// subfolder has been opened, after its parent: listing the tree opens each one once.
void IntroduceTree(const std::string& folder) {
    std::deque<std::string> pending{folder};
    WalkTotals totals;
    WalkFolders(pending, totals, 0);
}

std::string NarrowName(const FILE_NOTIFY_INFORMATION& info) {
    int length = static_cast<int>(info.FileNameLength / sizeof(WCHAR));
    int size = WideCharToMultiByte(CP_ACP, 0, info.FileName, length, nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, info.FileName, length, name.data(), size, nullptr, nullptr);
    return name;
}

} // namespace

// A directory handle with its outstanding read. It outlives its root when the root ends with a
// read outstanding: it is freed when the cancelled read's completion has been taken.
struct FolderWatcher::Listener {
    Root* root = nullptr; // null once detached from its root
    base::UniqueFile handle;
    OVERLAPPED overlapped{};
    std::unique_ptr<DWORD[]> buffer{new DWORD[kBufferSize / sizeof(DWORD)]};
    bool armed = false; // a read is outstanding, or its completion not yet taken
};

// One recursive read serves every watched folder in the same parent folder: a server's many
// home folders share one directory handle and one buffer.
struct FolderWatcher::Root {
    std::string key;    // folded
    std::string folder; // as opened
    Listener* listener = nullptr;
    size_t watches = 0; // watched folders served
};

struct FolderWatcher::Watch {
    std::string folder; // as given to Add
    Root* root = nullptr;
    bool reporting = false; // a report is due
    FolderChange change = FolderChange::Changed;
    ULONGLONG firstChange = 0;
    ULONGLONG due = 0;
};

struct FolderWatcher::State {
    Callback callback;
    ULONGLONG quietMs;
    bool wine = RunningUnderWine();
    base::UniqueHandleKernel port;
    mutable std::mutex lock;
    std::map<std::string, std::unique_ptr<Watch>> watches; // by folded folder
    std::map<std::string, std::unique_ptr<Root>> roots;    // by folded folder
    std::set<std::pair<ULONGLONG, Watch*>> dueReports;     // the reporting watches by due time
    std::unordered_map<Listener*, std::unique_ptr<Listener>> listeners;
    bool stopping = false;
    std::string checkedUpTo; // the key of the last root CheckRoots looked at

    struct Report {
        std::string folder;
        FolderChange change;
    };

    void Run();
    Root* RootFor(const std::string& folder, DWORD& error);
    bool Arm(Listener& listener);
    void Completed(Listener* listener, bool ok, DWORD bytes, std::vector<Report>& reports);
    void NoteNames(Root& root, const DWORD* buffer, DWORD bytes);
    template <typename Visit> void ForEachServed(const Root& root, Visit visit);
    void Note(Watch& watch, FolderChange change);
    void Release(Root* root);
    void Forget(const std::string& key);
    void Drop(Watch& watch, std::vector<Report>& reports);
    void DropRoot(Root& root, std::vector<Report>& reports);
    void TakeDueReports(std::vector<Report>& reports);
    void DropVanished(std::vector<Report>& reports);
    void CheckRoots(std::unique_lock<std::mutex>& guard, std::vector<Report>& reports);
    DWORD NextTimeout(ULONGLONG nextCheck) const;
    void CancelEverything();
};

FolderWatcher::FolderWatcher(Callback callback, std::chrono::milliseconds quietPeriod)
    : m_state(std::make_unique<State>()) {
    m_state->callback = std::move(callback);
    m_state->quietMs = static_cast<ULONGLONG>(quietPeriod.count());
    m_state->port.Reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    m_thread = std::thread([state = m_state.get()] { state->Run(); });
}

FolderWatcher::~FolderWatcher() {
    Stop();
}

DWORD FolderWatcher::Add(const std::string& folder, Subfolders subfolders) {
    std::string key = WatchKey(folder);
    {
        std::lock_guard lock(m_state->lock);
        if (m_state->stopping)
            return ERROR_INVALID_HANDLE;
        if (m_state->watches.count(key))
            return ERROR_ALREADY_EXISTS;
        DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return GetLastError();
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return ERROR_DIRECTORY;
        DWORD error = 0;
        Root* root = m_state->RootFor(folder, error);
        if (!root)
            return error;
        auto watch = std::make_unique<Watch>();
        watch->folder = folder;
        watch->root = root;
        ++root->watches;
        m_state->watches[key] = std::move(watch);
        // No report is due for a new watch: the watcher thread need not wake up.
    }
    if (m_state->wine && subfolders == Subfolders::Open)
        IntroduceTree(folder);
    return 0;
}

bool FolderWatcher::Remove(const std::string& folder) {
    std::lock_guard lock(m_state->lock);
    std::string key = WatchKey(folder);
    if (!m_state->watches.count(key))
        return false;
    m_state->Forget(key);
    return true;
}

bool FolderWatcher::IsWatched(const std::string& folder) const {
    std::lock_guard lock(m_state->lock);
    return m_state->watches.count(WatchKey(folder)) != 0;
}

void FolderWatcher::Stop() {
    {
        std::lock_guard lock(m_state->lock);
        m_state->stopping = true;
    }
    PostQueuedCompletionStatus(m_state->port.Get(), 0, kWakeKey, nullptr);
    if (m_thread.joinable() && std::this_thread::get_id() != m_thread.get_id())
        m_thread.join();
}

void FolderWatcher::State::Run() {
    ULONGLONG nextCheck = GetTickCount64() + kExistenceCheckMs;
    std::vector<Report> reports;
    for (;;) {
        DWORD timeout;
        {
            std::lock_guard guard(lock);
            timeout = NextTimeout(nextCheck);
        }
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* overlapped = nullptr;
        BOOL ok = GetQueuedCompletionStatus(port.Get(), &bytes, &key, &overlapped, timeout);
        DWORD error = ok ? 0 : GetLastError();
        reports.clear();
        {
            std::unique_lock guard(lock);
            if (overlapped) {
                SetLastError(error);
                Completed(reinterpret_cast<Listener*>(key), ok, bytes, reports);
            }
            if (stopping)
                break;
            if (GetTickCount64() >= nextCheck) {
                CheckRoots(guard, reports);
                nextCheck = GetTickCount64() + kExistenceCheckMs;
            }
            TakeDueReports(reports);
        }
        DropVanished(reports);
        for (const Report& report : reports)
            callback(report.folder, report.change);
    }
    CancelEverything();
}

// The root serving `folder`: its parent folder's, opened and listening when it is new. A folder
// whose parent cannot be opened (or a drive's root) is its own root.
FolderWatcher::Root* FolderWatcher::State::RootFor(const std::string& folder, DWORD& error) {
    std::string parent = ParentOf(folder);
    for (const std::string& candidate : {parent, folder}) {
        if (candidate.empty())
            continue;
        std::string key = WatchKey(candidate);
        auto found = roots.find(key);
        if (found != roots.end())
            return found->second.get();
        // Armed before returning, since changes made before the first read are not recorded.
        auto listener = std::make_unique<Listener>();
        listener->handle = OpenFolder(candidate, FILE_FLAG_OVERLAPPED);
        if (!listener->handle ||
            !CreateIoCompletionPort(listener->handle.Get(), port.Get(),
                                    reinterpret_cast<ULONG_PTR>(listener.get()), 0) ||
            !Arm(*listener)) {
            error = GetLastError();
            continue;
        }
        auto root = std::make_unique<Root>();
        root->key = key;
        root->folder = candidate;
        root->listener = listener.get();
        listener->root = root.get();
        listeners[listener.get()] = std::move(listener);
        return (roots[key] = std::move(root)).get();
    }
    return nullptr;
}

bool FolderWatcher::State::Arm(Listener& listener) {
    listener.overlapped = OVERLAPPED{};
    listener.armed =
        ReadDirectoryChangesW(listener.handle.Get(), listener.buffer.get(), kBufferSize, TRUE,
                              kNotifyFilter, nullptr, &listener.overlapped, nullptr);
    return listener.armed;
}

void FolderWatcher::State::Completed(Listener* listener, bool ok, DWORD bytes,
                                     std::vector<Report>& reports) {
    listener->armed = false;
    if (!listener->root) {
        listeners.erase(listener);
        return;
    }
    Root& root = *listener->root;
    bool overflow = ok ? bytes == 0 : GetLastError() == ERROR_NOTIFY_ENUM_DIR;
    if (!ok && !overflow) {
        // The root is gone, or can no longer be read: its folders are looked at again.
        DropRoot(root, reports);
        return;
    }
    if (overflow)
        ForEachServed(root, [&](Watch& watch) { Note(watch, FolderChange::Overflow); });
    else
        NoteNames(root, listener->buffer.get(), bytes);
    if (!Arm(*listener))
        DropRoot(root, reports);
}

// Notes a change for every watched folder on the path of each changed name: the folder itself
// when it was removed or renamed, which the report then finds gone.
void FolderWatcher::State::NoteNames(Root& root, const DWORD* buffer, DWORD bytes) {
    auto noteIfWatched = [&](const std::string& key) {
        auto found = watches.find(key);
        if (found != watches.end())
            Note(*found->second, FolderChange::Changed);
    };
    const std::string prefix = BelowPrefix(root.key);
    const char* at = reinterpret_cast<const char*>(buffer);
    const char* end = at + bytes;
    while (at + sizeof(FILE_NOTIFY_INFORMATION) <= end) {
        const auto& info = *reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
        std::string path = prefix + FoldCase(NarrowName(info));
        noteIfWatched(root.key);
        for (size_t slash = path.find('\\', prefix.size()); slash != std::string::npos;
             slash = path.find('\\', slash + 1))
            noteIfWatched(path.substr(0, slash));
        noteIfWatched(path);
        if (info.NextEntryOffset == 0)
            break;
        at += info.NextEntryOffset;
    }
}

// Visits every watch the root serves: its own folder's, if watched, and those of folders in it.
template <typename Visit> void FolderWatcher::State::ForEachServed(const Root& root, Visit visit) {
    auto own = watches.find(root.key);
    if (own != watches.end() && own->second->root == &root)
        visit(*own->second);
    std::string prefix = BelowPrefix(root.key);
    for (auto next = watches.lower_bound(prefix);
         next != watches.end() && next->first.compare(0, prefix.size(), prefix) == 0; ++next) {
        if (next->second->root == &root)
            visit(*next->second);
    }
}

void FolderWatcher::State::Note(Watch& watch, FolderChange change) {
    ULONGLONG now = GetTickCount64();
    if (!watch.reporting) {
        watch.reporting = true;
        watch.change = change;
        watch.firstChange = now;
    } else {
        dueReports.erase({watch.due, &watch});
        if (change == FolderChange::Overflow)
            watch.change = change;
    }
    watch.due = std::min(now + quietMs, watch.firstChange + quietMs * kLongestDelayFactor);
    dueReports.insert({watch.due, &watch});
}

// Lets go of a watch's root; the last watch closes it and ends its read.
void FolderWatcher::State::Release(Root* root) {
    if (!root || --root->watches > 0)
        return;
    Listener* listener = root->listener;
    listener->root = nullptr;
    if (listener->armed)
        CancelIoEx(listener->handle.Get(), &listener->overlapped);
    else
        listeners.erase(listener);
    roots.erase(root->key);
}

void FolderWatcher::State::Forget(const std::string& key) {
    auto found = watches.find(key);
    Watch& watch = *found->second;
    if (watch.reporting)
        dueReports.erase({watch.due, &watch});
    Release(watch.root);
    watches.erase(found);
}

// Stops watching a folder that is gone and reports it.
void FolderWatcher::State::Drop(Watch& watch, std::vector<Report>& reports) {
    reports.push_back({watch.folder, FolderChange::Removed});
    Forget(WatchKey(watch.folder));
}

// Stops watching every folder a root served: the ones still there are watched anew by whoever
// watched them, after the report.
void FolderWatcher::State::DropRoot(Root& root, std::vector<Report>& reports) {
    std::vector<Watch*> served;
    ForEachServed(root, [&](Watch& watch) { served.push_back(&watch); });
    for (Watch* watch : served)
        Drop(*watch, reports);
}

void FolderWatcher::State::TakeDueReports(std::vector<Report>& reports) {
    ULONGLONG now = GetTickCount64();
    while (!dueReports.empty() && dueReports.begin()->first <= now) {
        Watch& watch = *dueReports.begin()->second;
        dueReports.erase(dueReports.begin());
        watch.reporting = false;
        reports.push_back({watch.folder, watch.change});
    }
}

// A change reported for a folder that no longer exists (deleted, or renamed away) is reported as
// its removal, and the folder is no longer watched. The folders are looked at without the lock.
void FolderWatcher::State::DropVanished(std::vector<Report>& reports) {
    std::vector<size_t> vanished;
    for (size_t i = 0; i < reports.size(); ++i) {
        if (reports[i].change != FolderChange::Removed && !FolderExists(reports[i].folder))
            vanished.push_back(i);
    }
    if (vanished.empty())
        return;
    std::lock_guard guard(lock);
    for (size_t i : vanished) {
        std::string key = WatchKey(reports[i].folder);
        if (watches.count(key))
            Forget(key);
        reports[i].change = FolderChange::Removed;
    }
}

// Drops the roots that are gone (a parent folder deleted or renamed away tells its own roots
// nothing), looking at a bounded share of them at a time, in turn, without holding the lock.
void FolderWatcher::State::CheckRoots(std::unique_lock<std::mutex>& guard,
                                      std::vector<Report>& reports) {
    std::vector<std::pair<std::string, std::string>> looks; // key, folder
    auto next = roots.upper_bound(checkedUpTo);
    for (size_t i = 0; i < std::min(roots.size(), kRootsPerCheck); ++i, ++next) {
        if (next == roots.end())
            next = roots.begin();
        looks.emplace_back(next->first, next->second->folder);
    }
    if (!looks.empty())
        checkedUpTo = looks.back().first;
    guard.unlock();
    std::vector<std::string> gone;
    for (const auto& [key, folder] : looks) {
        if (!FolderExists(folder))
            gone.push_back(key);
    }
    guard.lock();
    for (const std::string& key : gone) {
        auto found = roots.find(key);
        if (found != roots.end() && !stopping)
            DropRoot(*found->second, reports);
    }
}

DWORD FolderWatcher::State::NextTimeout(ULONGLONG nextCheck) const {
    ULONGLONG wake =
        dueReports.empty() ? nextCheck : std::min(nextCheck, dueReports.begin()->first);
    ULONGLONG now = GetTickCount64();
    return wake <= now ? 0 : static_cast<DWORD>(wake - now);
}

// Cancels every outstanding read and waits for the cancellations, so that no buffer is freed
// while the system may still write into it.
void FolderWatcher::State::CancelEverything() {
    std::unique_lock guard(lock);
    while (!watches.empty())
        Forget(watches.begin()->first);
    while (!listeners.empty()) {
        guard.unlock();
        DWORD bytes;
        ULONG_PTR key;
        OVERLAPPED* overlapped = nullptr;
        GetQueuedCompletionStatus(port.Get(), &bytes, &key, &overlapped, 5000);
        DWORD error = GetLastError();
        guard.lock();
        if (overlapped) {
            listeners.erase(reinterpret_cast<Listener*>(key));
        } else if (error == WAIT_TIMEOUT) {
            // A read that never ends: its buffer must outlive it, so it stays allocated.
            for (auto& [pointer, listener] : listeners) {
                listener->buffer.release();
                listener.release();
            }
            listeners.clear();
        }
    }
}
