// The usage scanner on trees the tests build with known sizes: errors, several threads at once,
// its memory of owners. Counting is checked against find with the walk helpers.
#include <gtest/gtest.h>

#include <thread>

#include "services/scanner/usage_scanner.h"
#include "temp_folder.h"
#include "base/handles.h"

namespace {

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
    struct {
        uint64_t files = 0, bytes = 0;
    } tree; // counted here as written, independently of the scanner
    for (int f = 0; f < 7; ++f) {
        const std::string folder = temp / (f < 6 ? "d" + std::to_string(f) : "d0\\two");
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        for (int i = 0; i < (f < 6 ? 30 : 1); ++i) {
            ASSERT_TRUE(WriteTestFile(folder + "\\x" + std::to_string(i), f * 1000 + i));
            ++tree.files;
            tree.bytes += f * 1000 + i;
        }
    }
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
    EXPECT_LE(scanner.SecurityReads(), 2 * tree.files);

    // What the scans side by side have read is all remembered: rescans read no owner again.
    const uint64_t reads = scanner.SecurityReads(), lookups = scanner.AccountLookups();
    EXPECT_EQ(results[0].bytesByOwner, scanner.Scan(temp.Path(), true).bytesByOwner);
    EXPECT_EQ(0u, scanner.Scan(temp / "d0\\two\\", true).error); // a subfolder shares them
    EXPECT_EQ(reads, scanner.SecurityReads());

    // A file that grew and a new file are read again; a deleted one is simply gone.
    ASSERT_TRUE(WriteTestFile(temp / "d1\\x1", 5000));
    ASSERT_TRUE(WriteTestFile(temp / "d1\\new", 7));
    ASSERT_TRUE(DeleteFileA((temp / "d0\\two\\x0").c_str()));
    UsageResult changed = scanner.Scan(temp.Path(), true);
    EXPECT_EQ(reads + 2, scanner.SecurityReads());
    EXPECT_EQ(tree.bytes - 1001 + 5000 + 7 - 6000, changed.totalBytes);
    EXPECT_EQ(changed.totalBytes, changed.bytesByOwner.begin()->second);

    scanner.ForgetOwners();
    scanner.Scan(temp.Path(), true);
    EXPECT_EQ(reads + 2 + tree.files, scanner.SecurityReads()); // each file read once
    EXPECT_EQ(lookups, scanner.AccountLookups());
}

} // namespace
