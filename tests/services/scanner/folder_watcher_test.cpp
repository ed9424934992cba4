// The folder watcher on real folders: changes deep in a tree, bursts, removal of a watched folder
// or of its parent, folders sharing a parent, overflow, and stopping.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "services/scanner/folder_watcher.h"
#include "base/handles.h"
#include "temp_folder.h"

namespace {

using namespace std::chrono_literals;

struct Report {
    std::string folder;
    FolderChange change;
};

// Collects the watcher's reports for the test thread to wait on.
class Reports {
public:
    FolderWatcher::Callback Callback() {
        return [this](const std::string& folder, FolderChange change) {
            std::lock_guard lock(m_lock);
            m_reports.push_back({folder, change});
            m_arrived.notify_all();
        };
    }
    // Waits until a report of `change` for `folder` has arrived.
    bool WaitFor(const std::string& folder, FolderChange change,
                 std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(m_lock);
        return m_arrived.wait_for(lock, timeout, [&] {
            for (const Report& report : m_reports) {
                if (report.folder == folder && report.change == change)
                    return true;
            }
            return false;
        });
    }
    size_t CountFor(const std::string& folder) {
        std::lock_guard lock(m_lock);
        size_t count = 0;
        for (const Report& report : m_reports)
            count += report.folder == folder;
        return count;
    }
    void Clear() {
        std::lock_guard lock(m_lock);
        m_reports.clear();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::vector<Report> m_reports;
};

class FolderWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_watched = m_temp / "watched";
        m_other = m_temp / "other";
        CreateDirectoryA(m_watched.c_str(), nullptr);
        CreateDirectoryA((m_watched + "\\level1").c_str(), nullptr);
        CreateDirectoryA((m_watched + "\\level1\\level2").c_str(), nullptr);
        CreateDirectoryA(m_other.c_str(), nullptr);
    }
    TempFolder m_temp{"watch"};
    std::string m_watched;
    std::string m_other;
    Reports m_reports;
};

TEST_F(FolderWatcherTest, ReportsAWriteDeepInTheTreeOnceWithTheFoldersAboveItAndNoOther) {
    FolderWatcher watcher(m_reports.Callback());
    const std::string nested = m_watched + "\\level1";
    for (const std::string& folder : {m_watched, m_other, nested})
        ASSERT_EQ(0u, watcher.Add(folder));
    ASSERT_TRUE(WriteTestFile(nested + "\\level2\\data.bin", 4096));
    EXPECT_TRUE(m_reports.WaitFor(nested, FolderChange::Changed));
    EXPECT_TRUE(m_reports.WaitFor(m_watched, FolderChange::Changed));
    Sleep(300);
    EXPECT_EQ(0u, m_reports.CountFor(m_other));
    ASSERT_TRUE(WriteTestFile(m_other + "\\one.txt", 1));
    EXPECT_TRUE(m_reports.WaitFor(m_other, FolderChange::Changed));

    // A burst of changes is reported as one (or very few) changes, not one per file.
    m_reports.Clear();
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(WriteTestFile(m_watched + "\\level1\\burst" + std::to_string(i), 100));
    EXPECT_TRUE(m_reports.WaitFor(m_watched, FolderChange::Changed));
    Sleep(500);
    EXPECT_LE(m_reports.CountFor(m_watched), 5u);
}

TEST_F(FolderWatcherTest, ReportsAndForgetsADeletedWatchedFolder) {
    FolderWatcher watcher(m_reports.Callback());
    ASSERT_EQ(0u, watcher.Add(m_watched));
    ASSERT_EQ(0u, watcher.Add(m_other));
    RemoveTree(m_watched); // the folder itself may wait for the watcher to let go
    EXPECT_TRUE(m_reports.WaitFor(m_watched, FolderChange::Removed));
    EXPECT_FALSE(watcher.IsWatched(m_watched));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_watched.c_str()));
    EXPECT_TRUE(watcher.IsWatched(m_other));
    // The other folder is still watched, and the removed one can be watched again.
    ASSERT_TRUE(WriteTestFile(m_other + "\\after.txt", 1));
    EXPECT_TRUE(m_reports.WaitFor(m_other, FolderChange::Changed));
    ASSERT_TRUE(CreateDirectoryA(m_watched.c_str(), nullptr));
    EXPECT_EQ(0u, watcher.Add(m_watched));
}

TEST_F(FolderWatcherTest, ReportsTheFirstFilesOfFoldersLongEmpty) {
    FolderWatcher watcher(m_reports.Callback());
    std::vector<std::string> empty;
    for (int i = 0; i < 50; ++i) {
        empty.push_back(m_temp / ("empty" + std::to_string(i)));
        ASSERT_TRUE(CreateDirectoryA(empty.back().c_str(), nullptr));
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
    EXPECT_NE(0u, watcher.Add(m_temp / "missing"));
    ASSERT_EQ(0u, watcher.Add(m_watched));
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), watcher.Add(m_watched + "\\"));
    std::string upper = m_watched;
    CharUpperBuffA(upper.data(), DWORD(upper.size()));
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), watcher.Add(upper));
    EXPECT_TRUE(watcher.Remove(upper));
    EXPECT_FALSE(watcher.Remove(m_watched));
    EXPECT_FALSE(watcher.IsWatched(m_watched));
    ASSERT_TRUE(WriteTestFile(m_watched + "\\unwatched.txt", 1));
    Sleep(500);
    EXPECT_EQ(0u, m_reports.CountFor(m_watched));
}

TEST_F(FolderWatcherTest, ReportsAnOverflowAsAFullChange) {
    base::UniqueHandleKernel release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    Reports reports;
    auto record = reports.Callback();
    // The first report holds the watcher thread while thousands of changes pile up.
    FolderWatcher watcher(
        [&](const std::string& folder, FolderChange change) {
            record(folder, change);
            WaitForSingleObject(release.Get(), 20000);
        },
        10ms);
    ASSERT_EQ(0u, watcher.Add(m_watched));
    ASSERT_TRUE(WriteTestFile(m_watched + "\\first.txt", 1));
    ASSERT_TRUE(reports.WaitFor(m_watched, FolderChange::Changed));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(WriteTestFile(
            m_watched + "\\level1\\a-rather-long-file-name-" + std::to_string(i) + ".txt", 0));
    SetEvent(release.Get());
    EXPECT_TRUE(reports.WaitFor(m_watched, FolderChange::Overflow, 20s));
    watcher.Stop();
}

TEST_F(FolderWatcherTest, ReportsAFolderRenamedAwayAndEveryFolderOfAParentRenamedAway) {
    FolderWatcher watcher(m_reports.Callback());
    ASSERT_EQ(0u, watcher.Add(m_watched));
    ASSERT_TRUE(MoveFileA(m_watched.c_str(), (m_temp / "moved").c_str()));
    EXPECT_TRUE(m_reports.WaitFor(m_watched, FolderChange::Removed));
    EXPECT_FALSE(watcher.IsWatched(m_watched));

    std::string parent = m_temp / "parent";
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
    std::vector<std::string> children;
    for (int i = 0; i < 3; ++i) {
        children.push_back(parent + "\\child" + std::to_string(i));
        ASSERT_TRUE(CreateDirectoryA(children.back().c_str(), nullptr));
        ASSERT_EQ(0u, watcher.Add(children.back()));
    }
    ASSERT_TRUE(MoveFileA(parent.c_str(), (m_temp / "renamed").c_str()));
    for (const std::string& child : children) {
        EXPECT_TRUE(m_reports.WaitFor(child, FolderChange::Removed));
        EXPECT_FALSE(watcher.IsWatched(child));
    }
}

TEST_F(FolderWatcherTest, StopsCleanlyAndReportsNothingAfter) {
    auto watcher = std::make_unique<FolderWatcher>(m_reports.Callback(), 500ms);
    ASSERT_EQ(0u, watcher->Add(m_watched));
    ASSERT_EQ(0u, watcher->Add(m_other));
    ASSERT_TRUE(WriteTestFile(m_watched + "\\pending.txt", 1)); // report still due when stopping
    Sleep(100);
    watcher->Stop();
    watcher->Stop();
    watcher.reset();
    Sleep(700);
    EXPECT_EQ(0u, m_reports.CountFor(m_watched));
    // The folders are free again: they can be deleted.
    EXPECT_TRUE(RemoveTree(m_watched));
}

} // namespace
