#include "services/scanner/folder_watcher.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

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
constexpr ULONGLONG kExistenceCheckMs = 1000; // how often watched folders are looked for
constexpr size_t kFoldersPerCheck = 1000;     // at most this many each time
constexpr ULONGLONG kLongestDelayFactor = 10; // a report waits at most this many quiet periods

std::string WatchKey(const std::string& folder) {
    std::string key = FoldCase(folder);
    while (key.size() > 3 && key.back() == '\\')
        key.pop_back();
    return key;
}

bool FolderExists(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDots(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

bool FolderIsEmpty(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileExA((folder + "\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool empty = true;
    do {
        empty = IsDots(data.cFileName);
    } while (empty && FindNextFileA(search, &data));
    FindClose(search);
    return empty;
}

// Wine's recursive watch covers a subfolder that existed before it started only once that
// subfolder has been opened; opening each one (and closing it again) is enough.
void IntroduceSubfolders(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileExA((folder + "\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchLimitToDirectories, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDots(data.cFileName) || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::string subfolder = folder + "\\" + data.cFileName;
        base::UniqueFile opened(CreateFileA(subfolder.c_str(), FILE_LIST_DIRECTORY,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                            nullptr));
        IntroduceSubfolders(subfolder);
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

} // namespace

// A directory handle with its outstanding read. It outlives its watch when the watch ends with
// a read outstanding: it is freed when the cancelled read's completion has been taken.
struct FolderWatcher::Listener {
    Watch* watch = nullptr; // null once detached from its watch
    base::UniqueFile handle;
    OVERLAPPED overlapped{};
    alignas(DWORD) char buffer[kBufferSize];
    bool armed = false; // a read is outstanding, or its completion not yet taken
};

struct FolderWatcher::Watch {
    std::string folder; // as given to Add
    Listener* listener = nullptr;
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
    std::unordered_map<Listener*, std::unique_ptr<Listener>> listeners;
    bool stopping = false;
    std::string checkedUpTo; // the key of the last watch CheckFolders looked at

    struct Report {
        std::string folder;
        FolderChange change;
    };

    void Run();
    DWORD Listen(Watch& watch);
    bool Arm(Listener& listener);
    void Completed(Listener* listener, bool ok, DWORD bytes, std::vector<Report>& reports);
    void Note(Watch& watch, FolderChange change);
    void Detach(Watch& watch, bool waitForCancel);
    void Forget(const std::string& key);
    void Drop(Watch& watch, std::vector<Report>& reports);
    void TakeDueReports(std::vector<Report>& reports);
    void CheckFolders(std::unique_lock<std::mutex>& guard, std::vector<Report>& reports);
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

DWORD FolderWatcher::Add(const std::string& folder) {
    std::string key = WatchKey(folder);
    std::lock_guard lock(m_state->lock);
    if (m_state->stopping)
        return ERROR_INVALID_HANDLE;
    if (m_state->watches.count(key))
        return ERROR_ALREADY_EXISTS;
    auto watch = std::make_unique<Watch>();
    watch->folder = folder;
    if (DWORD error = m_state->Listen(*watch))
        return error;
    m_state->watches[key] = std::move(watch);
    // The watcher thread may be waiting with no report due: let it recompute its timeout.
    PostQueuedCompletionStatus(m_state->port.Get(), 0, kWakeKey, nullptr);
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
                CheckFolders(guard, reports);
                nextCheck = GetTickCount64() + kExistenceCheckMs;
            }
            TakeDueReports(reports);
        }
        for (const Report& report : reports)
            callback(report.folder, report.change);
    }
    CancelEverything();
}

// Opens the watch's folder and starts reading its changes; armed before returning, since changes
// made before the first read are not recorded.
DWORD FolderWatcher::State::Listen(Watch& watch) {
    auto listener = std::make_unique<Listener>();
    listener->handle.Reset(CreateFileA(watch.folder.c_str(), FILE_LIST_DIRECTORY,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!listener->handle)
        return GetLastError();
    if (!CreateIoCompletionPort(listener->handle.Get(), port.Get(),
                                reinterpret_cast<ULONG_PTR>(listener.get()), 0))
        return GetLastError();
    if (!Arm(*listener))
        return GetLastError();
    if (wine)
        IntroduceSubfolders(watch.folder);
    listener->watch = &watch;
    watch.listener = listener.get();
    listeners[listener.get()] = std::move(listener);
    return 0;
}

bool FolderWatcher::State::Arm(Listener& listener) {
    listener.overlapped = OVERLAPPED{};
    listener.armed =
        ReadDirectoryChangesW(listener.handle.Get(), listener.buffer, kBufferSize, TRUE,
                              kNotifyFilter, nullptr, &listener.overlapped, nullptr);
    return listener.armed;
}

void FolderWatcher::State::Completed(Listener* listener, bool ok, DWORD bytes,
                                     std::vector<Report>& reports) {
    listener->armed = false;
    if (!listener->watch) {
        listeners.erase(listener);
        return;
    }
    Watch& watch = *listener->watch;
    bool overflow = ok ? bytes == 0 : GetLastError() == ERROR_NOTIFY_ENUM_DIR;
    if (!ok && !overflow && !FolderExists(watch.folder)) {
        Drop(watch, reports);
        return;
    }
    Note(watch, overflow ? FolderChange::Overflow : FolderChange::Changed);
    if (!Arm(*listener))
        Drop(watch, reports);
}

void FolderWatcher::State::Note(Watch& watch, FolderChange change) {
    ULONGLONG now = GetTickCount64();
    if (!watch.reporting) {
        watch.reporting = true;
        watch.change = change;
        watch.firstChange = now;
    } else if (change == FolderChange::Overflow) {
        watch.change = change;
    }
    watch.due = std::min(now + quietMs, watch.firstChange + quietMs * kLongestDelayFactor);
}

// Ends the watch's read and lets go of its listener. With `waitForCancel` the folder's handle is
// closed before returning.
void FolderWatcher::State::Detach(Watch& watch, bool waitForCancel) {
    Listener* listener = watch.listener;
    watch.listener = nullptr;
    if (!listener)
        return;
    listener->watch = nullptr;
    if (!listener->armed) {
        listeners.erase(listener);
        return;
    }
    CancelIoEx(listener->handle.Get(), &listener->overlapped);
    if (waitForCancel) {
        DWORD bytes;
        GetOverlappedResult(listener->handle.Get(), &listener->overlapped, &bytes, TRUE);
        listener->handle.Reset(); // its completion is still taken from the port later
    }
}

void FolderWatcher::State::Forget(const std::string& key) {
    auto found = watches.find(key);
    Detach(*found->second, false);
    watches.erase(found);
}

// Stops watching a folder that is gone and reports it.
void FolderWatcher::State::Drop(Watch& watch, std::vector<Report>& reports) {
    reports.push_back({watch.folder, FolderChange::Removed});
    Forget(WatchKey(watch.folder));
}

void FolderWatcher::State::TakeDueReports(std::vector<Report>& reports) {
    ULONGLONG now = GetTickCount64();
    for (auto& [name, watch] : watches) {
        if (watch->reporting && watch->due <= now) {
            watch->reporting = false;
            reports.push_back({watch->folder, watch->change});
        }
    }
}

// Drops the watches of folders that are gone. Under Wine a folder deleted while watched stays
// until the watcher's handle is closed, and nothing tells the watcher; so an empty watched
// folder is parked: its handle is closed, which lets a pending deletion finish, and it is looked
// at again at the next check, listened to anew once something is in it. The folders are looked
// at without holding the lock: with many watches that takes a while.
void FolderWatcher::State::CheckFolders(std::unique_lock<std::mutex>& guard,
                                        std::vector<Report>& reports) {
    struct Look {
        std::string key, folder;
        bool exists = false;
        bool empty = false;
    };
    // A bounded share of the watches at a time, in turn: with many watches every folder is
    // looked at less often rather than the whole process being kept busy.
    std::vector<Look> looks;
    auto next = watches.upper_bound(checkedUpTo);
    for (size_t i = 0; i < std::min(watches.size(), kFoldersPerCheck); ++i, ++next) {
        if (next == watches.end())
            next = watches.begin();
        looks.push_back({next->first, next->second->folder});
    }
    if (!looks.empty())
        checkedUpTo = looks.back().key;
    guard.unlock();
    for (Look& look : looks) {
        look.exists = FolderExists(look.folder);
        look.empty = wine && look.exists && FolderIsEmpty(look.folder);
    }
    guard.lock();
    for (const Look& look : looks) {
        auto found = watches.find(look.key);
        if (found == watches.end() || stopping)
            continue;
        Watch& watch = *found->second;
        bool parked = watch.listener == nullptr;
        if (!look.exists) {
            Drop(watch, reports);
        } else if (look.empty && !parked) {
            Detach(watch, true);
        } else if (!look.empty && parked) {
            if (Listen(watch) != 0) {
                Drop(watch, reports);
                continue;
            }
            // Whatever arrived while it was parked.
            Note(watch, FolderChange::Changed);
        }
    }
}

DWORD FolderWatcher::State::NextTimeout(ULONGLONG nextCheck) const {
    ULONGLONG wake = nextCheck;
    for (const auto& [name, watch] : watches) {
        if (watch->reporting)
            wake = std::min(wake, watch->due);
    }
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
            for (auto& [pointer, listener] : listeners)
                listener.release();
            listeners.clear();
        }
    }
}
