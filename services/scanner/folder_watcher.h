// Watches folders recursively and reports which watched folder's tree has changed.
//
// The watched folders of one parent folder share one overlapped ReadDirectoryChangesW request on
// that parent (whole subtree, names, sizes, times, security), serviced by the watcher's own
// thread through a completion port; the changed names tell which watched folders changed. So a
// hundred thousand home folders in one folder cost one directory handle and one 64 KB buffer,
// and some hundred bytes each. A watched folder that is deleted or renamed is reported removed
// after the quiet period; one whose parent goes away, within about a second (with more than a
// thousand parents, within (count / 1000) seconds).
// Changes are coalesced: the callback runs once per folder after a quiet period (100 ms by
// default) following a burst of changes, on the watcher thread. It must not block for long; it
// may call Add and Remove.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

enum class FolderChange {
    Changed,  // something below the folder changed
    Overflow, // too many changes to record one by one: rescan the whole folder
    Removed,  // the folder itself is gone (deleted or renamed); it is no longer watched
};

class FolderWatcher {
public:
    // `folder` is passed as it was given to Add.
    using Callback = std::function<void(const std::string& folder, FolderChange change)>;

    explicit FolderWatcher(Callback callback,
                           std::chrono::milliseconds quietPeriod = std::chrono::milliseconds(100));
    ~FolderWatcher(); // stops (see Stop)
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // How the subfolders that exist already come under the watch. Under Wine a recursive watch
    // covers an existing subfolder only once it has been opened after its parent: Add opens every
    // one, unless the caller is about to list the whole tree anyway, as a scan does.
    enum class Subfolders { Open, ListedByCaller };

    // Starts watching a folder and its subfolders. Returns 0, ERROR_ALREADY_EXISTS when it is
    // watched already (compared without regard to case), or the error of opening it.
    DWORD Add(const std::string& folder, Subfolders subfolders = Subfolders::Open);

    // Stops watching a folder; false when it was not watched.
    bool Remove(const std::string& folder);

    bool IsWatched(const std::string& folder) const;

    // Stops every watch and joins the thread; no callback runs after it returns (unless called
    // from the callback itself, when the thread ends after the callback returns). Idempotent.
    void Stop();

private:
    struct Listener;
    struct Root;
    struct Watch;
    struct State;
    std::unique_ptr<State> m_state;
    std::thread m_thread;
};
