// The usage scanner on trees the tests build with known sizes: errors, several threads at once,
// its memory of owners. Counting is checked against find with the walk helpers.
#include <gtest/gtest.h>

#include <thread>

#include "services/scanner/usage_scanner.h"
#include "temp_folder.h"
#include "base/handles.h"

namespace {

// A tree built file by file; what was written is counted here, independently of the scanner.
class KnownTree {
public:
    explicit KnownTree(const std::string& root) : m_root(root) {}

    std::string Folder(const std::string& relative) {
        std::string path = m_root + "\\" + relative;
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
        return path;
    }
    std::string File(const std::string& relative, uint64_t size) {
        std::string path = m_root + "\\" + relative;
        EXPECT_TRUE(WriteTestFile(path, size)) << path;
        ++files;
        bytes += size;
        return path;
    }

    uint64_t files = 0;
    uint64_t bytes = 0;

private:
    std::string m_root;
};

TEST(UsageScanner, ReportsAFolderThatCannotBeScanned) {
    TempFolder temp("scan-bad");
    UsageScanner scanner;
    UsageResult missing = scanner.Scan(temp / "missing", false);
    EXPECT_TRUE(missing.error == ERROR_FILE_NOT_FOUND || missing.error == ERROR_PATH_NOT_FOUND)
        << missing.error;
    EXPECT_EQ(0u, missing.fileCount);
    ASSERT_TRUE(WriteTestFile(temp / "plain.txt", 10));
    EXPECT_EQ(DWORD(ERROR_DIRECTORY), scanner.Scan(temp / "plain.txt", false).error);
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), scanner.Scan("", false).error);
}

// Several threads scan at once, with and without owners; then rescans read the owners of new and
// changed files only.
TEST(UsageScanner, ServesSeveralThreadsAndRescansReadNoOwnersOfUnchangedFilesAgain) {
    TempFolder temp("scan-cache");
    KnownTree tree(temp.Path());
    for (int f = 0; f < 6; ++f) {
        std::string folder = "d" + std::to_string(f);
        tree.Folder(folder);
        for (int i = 0; i < 30; ++i)
            tree.File(folder + "\\x" + std::to_string(i), f * 1000 + i);
    }
    tree.Folder("d0\\two");
    tree.File("d0\\two\\f", 10);
    UsageScanner scanner;
    std::vector<UsageResult> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] { results[t] = scanner.Scan(temp.Path(), t % 2 == 0); });
    for (std::thread& thread : threads)
        thread.join();
    for (size_t t = 0; t < results.size(); ++t) {
        EXPECT_EQ(tree.bytes, results[t].totalBytes);
        EXPECT_EQ(tree.files, results[t].fileCount);
        ASSERT_EQ(t % 2 == 0 ? 1u : 0u, results[t].bytesByOwner.size());
        if (t % 2 == 0) {
            EXPECT_EQ(tree.bytes, results[t].bytesByOwner.begin()->second);
        }
    }
    const uint64_t reads = scanner.SecurityReads(), lookups = scanner.AccountLookups();
    EXPECT_LE(reads, 2 * tree.files);

    UsageResult again = scanner.Scan(temp.Path(), true);
    EXPECT_EQ(results[0].bytesByOwner, again.bytesByOwner);
    EXPECT_EQ(0u, scanner.Scan(temp / "d0\\two\\", true).error); // a subfolder shares them
    EXPECT_EQ(reads, scanner.SecurityReads());

    // A file that grew and a new file are read again; a deleted one is simply gone.
    ASSERT_TRUE(WriteTestFile(temp / "d1\\x1", 5000));
    ASSERT_TRUE(WriteTestFile(temp / "d1\\new", 7));
    ASSERT_TRUE(DeleteFileA((temp / "d0\\two\\f").c_str()));
    UsageResult changed = scanner.Scan(temp.Path(), true);
    EXPECT_EQ(reads + 2, scanner.SecurityReads());
    EXPECT_EQ(tree.bytes - 1001 + 5000 + 7 - 10, changed.totalBytes);
    EXPECT_EQ(changed.totalBytes, changed.bytesByOwner.begin()->second);

    scanner.ForgetOwners();
    scanner.Scan(temp.Path(), true);
    EXPECT_EQ(reads + 2 + tree.files, scanner.SecurityReads()); // each file read once
    EXPECT_EQ(lookups, scanner.AccountLookups());
}

} // namespace
