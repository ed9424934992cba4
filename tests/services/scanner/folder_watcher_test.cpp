// The folder watcher on real folders: changes deep in a tree, removal of a watched folder or of
// its parent, folders long empty, overflow, and stopping.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "base/handles.h"
#include "services/scanner/folder_watcher.h"
#include "temp_folder.h"

namespace {

using namespace std::chrono_literals;

// Collects the watcher's reports for the test thread to wait on.
class Reports {
public:
    FolderWatcher::Callback Callback() {
        return [this](const std::string& folder, FolderChange change) {
            std::lock_guard lock(m_lock);
            m_reports.emplace_back(folder, change);
            m_arrived.notify_all();
        };
    }
    // Waits until a report of `change` for `folder` has arrived.
    bool WaitFor(const std::string& folder, FolderChange change,
                 std::chrono::seconds timeout = 10s) {
        std::unique_lock lock(m_lock);
        return m_arrived.wait_for(lock, timeout, [&] { return Count(folder, change) > 0; });
    }
    size_t CountFor(const std::string& folder) {
        std::lock_guard lock(m_lock);
        return Count(folder, FolderChange::Changed) + Count(folder, FolderChange::Removed);
    }
    void Clear() {
        std::lock_guard lock(m_lock);
        m_reports.clear();
    }

private:
    size_t Count(const std::string& folder, FolderChange change) const {
        return std::count(m_reports.begin(), m_reports.end(), std::make_pair(folder, change));
    }
    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::vector<std::pair<std::string, FolderChange>> m_reports;
};

class FolderWatcherTest : public ::testing::Test {
protected:
    // A folder below the test's temporary folder, with its parents.
    std::string Make(const std::string& relative) {
        std::string path = m_temp.Path();
        for (size_t at = 0; at != std::string::npos; at = relative.find('\\', at + 1)) {
            path = m_temp / relative.substr(0, relative.find('\\', at + 1));
            CreateDirectoryA(path.c_str(), nullptr);
        }
        return path;
    }
    TempFolder m_temp{"watch"};
    Reports m_reports;
};

TEST_F(FolderWatcherTest, ReportsAWriteDeepInTheTreeForEveryWatchedFolderAboveItAlone) {
    FolderWatcher watcher(m_reports.Callback());
    const std::string deep = Make("watched\\level1\\level2"), nested = m_temp / "watched\\level1";
    for (const std::string& folder : {m_temp / "watched", nested, Make("other")})
        ASSERT_EQ(0u, watcher.Add(folder));
    ASSERT_TRUE(WriteTestFile(deep + "\\data.bin", 4096));
    EXPECT_TRUE(m_reports.WaitFor(nested, FolderChange::Changed));
    EXPECT_TRUE(m_reports.WaitFor(m_temp / "watched", FolderChange::Changed));
    EXPECT_EQ(0u, m_reports.CountFor(m_temp / "other"));
}

TEST_F(FolderWatcherTest, ReportsAndForgetsAFolderDeletedOrRenamedAwayOrWhoseParentWas) {
    FolderWatcher watcher(m_reports.Callback());
    const std::string other = Make("other");
    ASSERT_EQ(0u, watcher.Add(other));
    const struct {
        const char* folder;
        std::function<bool(const std::string&)> remove;
    } removals[] = {
        {"deleted", [](const std::string& folder) { return RemoveTree(folder); }},
        {"renamed",
         [&](const std::string& f) { return MoveFileA(f.c_str(), (f + "-moved").c_str()); }},
        {"parent\\child",
         [&](const std::string&) {
             return MoveFileA((m_temp / "parent").c_str(), (m_temp / "parent-moved").c_str());
         }},
    };
    for (const auto& removal : removals) {
        const std::string folder = Make(removal.folder);
        ASSERT_EQ(0u, watcher.Add(folder));
        ASSERT_TRUE(removal.remove(folder)) << folder; // may wait for the watcher to let go
        EXPECT_TRUE(m_reports.WaitFor(folder, FolderChange::Removed)) << folder;
        EXPECT_FALSE(watcher.IsWatched(folder)) << folder;
    }
    // The other folder is still watched, and a removed one can be watched again.
    ASSERT_TRUE(WriteTestFile(other + "\\after.txt", 1));
    EXPECT_TRUE(m_reports.WaitFor(other, FolderChange::Changed));
    EXPECT_EQ(0u, watcher.Add(Make("deleted")));
}

TEST_F(FolderWatcherTest, ReportsTheFirstFilesOfFoldersLongEmpty) {
    FolderWatcher watcher(m_reports.Callback());
    std::vector<std::string> empty;
    for (int i = 0; i < 50; ++i) {
        empty.push_back(Make("empty" + std::to_string(i)));
        ASSERT_EQ(0u, watcher.Add(empty.back()));
    }
    Sleep(2500); // several checks of the empty folders
    ASSERT_TRUE(WriteTestFile(empty[7] + "\\first.txt", 10));
    ASSERT_TRUE(CreateDirectoryA((empty[31] + "\\sub").c_str(), nullptr));
    EXPECT_TRUE(m_reports.WaitFor(empty[7], FolderChange::Changed));
    EXPECT_TRUE(m_reports.WaitFor(empty[31], FolderChange::Changed));
    EXPECT_EQ(0u, m_reports.CountFor(empty[0]));
    // Listened to again: the next file is reported too.
    m_reports.Clear();
    ASSERT_TRUE(WriteTestFile(empty[31] + "\\sub\\second.txt", 10));
    EXPECT_TRUE(m_reports.WaitFor(empty[31], FolderChange::Changed));
}

TEST_F(FolderWatcherTest, AddAndRemoveCheckTheirFolders) {
    FolderWatcher watcher(m_reports.Callback());
    const std::string watched = Make("watched");
    std::string upper = watched;
    CharUpperBuffA(upper.data(), DWORD(upper.size()));
    EXPECT_NE(0u, watcher.Add(m_temp / "missing"));
    ASSERT_EQ(0u, watcher.Add(watched));
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), watcher.Add(watched + "\\"));
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), watcher.Add(upper));
    EXPECT_TRUE(watcher.Remove(upper));
    EXPECT_FALSE(watcher.Remove(watched));
    EXPECT_FALSE(watcher.IsWatched(watched));
}

TEST_F(FolderWatcherTest, ReportsAnOverflowAsAFullChange) {
    const std::string watched = Make("watched\\level1");
    base::UniqueHandleKernel release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    auto record = m_reports.Callback();
    // The first report holds the watcher thread while thousands of changes pile up.
    FolderWatcher watcher(
        [&](const std::string& folder, FolderChange change) {
            record(folder, change);
            WaitForSingleObject(release.Get(), 20000);
        },
        10ms);
    ASSERT_EQ(0u, watcher.Add(m_temp / "watched"));
    ASSERT_TRUE(WriteTestFile(watched + "\\first.txt", 1));
    ASSERT_TRUE(m_reports.WaitFor(m_temp / "watched", FolderChange::Changed));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(
            WriteTestFile(watched + "\\a-rather-long-file-name-" + std::to_string(i) + ".txt", 0));
    SetEvent(release.Get());
    EXPECT_TRUE(m_reports.WaitFor(m_temp / "watched", FolderChange::Overflow, 20s));
    watcher.Stop();
}

TEST_F(FolderWatcherTest, StopsCleanlyAndReportsNothingAfter) {
    const std::string watched = Make("watched"), other = Make("other");
    auto watcher = std::make_unique<FolderWatcher>(m_reports.Callback(), 500ms);
    ASSERT_EQ(0u, watcher->Add(watched));
    ASSERT_EQ(0u, watcher->Add(other));
    ASSERT_TRUE(WriteTestFile(watched + "\\pending.txt", 1)); // report still due when stopping
    Sleep(100);
    watcher->Stop();
    watcher->Stop();
    watcher.reset();
    Sleep(700);
    EXPECT_EQ(0u, m_reports.CountFor(watched));
    EXPECT_TRUE(RemoveTree(watched)) << "the folder is still held";
}

} // namespace
