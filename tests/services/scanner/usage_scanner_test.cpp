// The usage scanner on trees the tests build with known sizes and owners.
#include <gtest/gtest.h>

#include <thread>

#include "services/scanner/usage_scanner.h"
#include "services/scanner/wine_host.h"
#include "quota_service.h"
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
        ++folders;
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
    uint64_t folders = 0;
    uint64_t bytes = 0;

private:
    std::string m_root;
};

// A file of `size` bytes of which none is written: sparse where the file system allows.
bool CreateSparseFile(const std::string& path, uint64_t size) {
    base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD returned = 0;
    DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return file && SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) &&
           SetEndOfFile(file.Get());
}

// Gives a file an owner other than the current account; returns that owner's name, or "" when
// this system offers no way to.
std::string GiveToAnotherOwner(const std::string& path) {
    if (SetFileOwnerAccount(path, "Guests"))
        return "BUILTIN\\Guests";
    if (RunningUnderWine() &&
        RunHostShell("chown nobody " + ShellQuoted(HostPath(path)), 20000) == 0)
        return "NT AUTHORITY\\ANONYMOUS LOGON"; // what Wine calls every other Linux user
    return {};
}

TEST(UsageScanner, CountsEveryFileAtEveryDepth) {
    TempFolder temp("scan");
    KnownTree tree(temp.Path());
    tree.File("top.bin", 1234);
    tree.File("empty at top", 0);
    tree.Folder("a");
    tree.File("a\\one.dat", 100000);
    tree.Folder("a\\b");
    tree.Folder("a\\b\\c");
    tree.Folder("a\\b\\c\\d");
    tree.File("a\\b\\c\\d\\deep.txt", 777);
    tree.File("a\\b\\c\\d\\empty", 0);
    tree.Folder("a\\empty folder");
    tree.Folder("z");
    for (int i = 0; i < 150; ++i)
        tree.File("z\\many" + std::to_string(i), i * 13);
    tree.Folder("sparse");
    const uint64_t sparseSize = 5ull << 30; // beyond 32 bits
    ASSERT_TRUE(CreateSparseFile(temp / "sparse\\large.vhd", sparseSize));
    tree.files += 1;
    tree.bytes += sparseSize;

    UsageScanner scanner;
    UsageResult result = scanner.Scan(temp.Path(), false);
    EXPECT_EQ(0u, result.error);
    EXPECT_EQ(tree.bytes, result.totalBytes);
    EXPECT_EQ(tree.files, result.fileCount);
    EXPECT_EQ(tree.folders, result.folderCount);
    EXPECT_EQ(0u, result.unreadable);
    EXPECT_TRUE(result.bytesByOwner.empty());
    EXPECT_EQ(0u, scanner.SecurityReads());

    UsageResult sub = scanner.Scan(temp / "a\\", false);
    EXPECT_EQ(100000u + 777u, sub.totalBytes);
    EXPECT_EQ(3u, sub.fileCount);
    EXPECT_EQ(4u, sub.folderCount);
}

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

TEST(UsageScanner, AttributesBytesToEachOwner) {
    TempFolder temp("scan-owners");
    KnownTree tree(temp.Path());
    tree.File("mine1", 100);
    tree.Folder("sub");
    tree.File("sub\\mine2", 200);
    tree.File("sub\\mine3", 0);
    std::string other1 = tree.File("theirs1", 1000);
    std::string other2 = tree.File("sub\\theirs2", 2000);
    std::string otherName = GiveToAnotherOwner(other1);
    if (otherName.empty())
        GTEST_SKIP() << "this system cannot give a file another owner";
    ASSERT_EQ(otherName, GiveToAnotherOwner(other2));

    UsageScanner scanner;
    UsageResult result = scanner.Scan(temp.Path(), true);
    ASSERT_EQ(0u, result.error);
    EXPECT_EQ(3300u, result.totalBytes);
    ASSERT_EQ(2u, result.bytesByOwner.size());
    EXPECT_EQ(300u, result.bytesByOwner[CurrentAccount()]);
    EXPECT_EQ(3000u, result.bytesByOwner[otherName]);
    // Owner names compare without regard to case.
    std::string lower = otherName;
    CharLowerBuffA(lower.data(), DWORD(lower.size()));
    EXPECT_EQ(1u, result.bytesByOwner.count(lower));
}

TEST(UsageScanner, SettingAnOwnerReportsWhetherItHeld) {
    TempFolder temp("scan-set-owner");
    ASSERT_TRUE(WriteTestFile(temp / "file", 1));
    EXPECT_FALSE(SetFileOwnerAccount(temp / "file", "No Such Account 12345"));
    EXPECT_EQ(DWORD(ERROR_NONE_MAPPED), GetLastError());

    UsageScanner scanner;
    bool set = SetFileOwnerAccount(temp / "file", "Guests");
    std::string expected = set ? "BUILTIN\\Guests" : CurrentAccount();
    if (!set && RunningUnderWine()) {
        EXPECT_EQ(DWORD(ERROR_NOT_SUPPORTED), GetLastError()); // Wine keeps no file owners
    }
    UsageResult result = scanner.Scan(temp.Path(), true);
    ASSERT_EQ(1u, result.bytesByOwner.size());
    EXPECT_EQ(expected, result.bytesByOwner.begin()->first);
}

TEST(UsageScanner, RescansOfAnUnchangedTreeReadNoOwnersAgain) {
    TempFolder temp("scan-cache");
    KnownTree tree(temp.Path());
    tree.Folder("one");
    tree.Folder("one\\two");
    for (int i = 0; i < 20; ++i)
        tree.File((i % 2 ? "one\\f" : "one\\two\\f") + std::to_string(i), 10 + i);
    UsageScanner scanner;
    UsageResult first = scanner.Scan(temp.Path(), true);
    EXPECT_EQ(20u, scanner.SecurityReads());
    EXPECT_EQ(1u, scanner.AccountLookups());
    ASSERT_EQ(1u, first.bytesByOwner.size());
    EXPECT_EQ(tree.bytes, first.bytesByOwner.begin()->second);

    UsageResult again = scanner.Scan(temp.Path(), true);
    EXPECT_EQ(20u, scanner.SecurityReads());
    EXPECT_EQ(1u, scanner.AccountLookups());
    EXPECT_EQ(first.bytesByOwner, again.bytesByOwner);

    // A subfolder's scan shares the same memory of owners.
    scanner.Scan(temp / "one\\two", true);
    EXPECT_EQ(20u, scanner.SecurityReads());

    // A file that grew and a new file are read again; a deleted one is simply gone.
    ASSERT_TRUE(WriteTestFile(temp / "one\\f1", 5000));
    ASSERT_TRUE(WriteTestFile(temp / "one\\new", 7));
    ASSERT_TRUE(DeleteFileA((temp / "one\\two\\f0").c_str()));
    UsageResult changed = scanner.Scan(temp.Path(), true);
    EXPECT_EQ(22u, scanner.SecurityReads());
    EXPECT_EQ(tree.bytes - 11 + 5000 + 7 - 10, changed.totalBytes);
    EXPECT_EQ(changed.totalBytes, changed.bytesByOwner.begin()->second);

    scanner.ForgetOwners();
    scanner.Scan(temp.Path(), true);
    EXPECT_EQ(22u + 20u, scanner.SecurityReads());
    EXPECT_EQ(1u, scanner.AccountLookups());
}

TEST(UsageScanner, ServesSeveralThreadsAtOnce) {
    TempFolder temp("scan-threads");
    KnownTree tree(temp.Path());
    for (int f = 0; f < 6; ++f) {
        std::string folder = "d" + std::to_string(f);
        tree.Folder(folder);
        for (int i = 0; i < 30; ++i)
            tree.File(folder + "\\x" + std::to_string(i), f * 1000 + i);
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
        if (t % 2 == 0) {
            ASSERT_EQ(1u, results[t].bytesByOwner.size());
            EXPECT_EQ(tree.bytes, results[t].bytesByOwner.begin()->second);
        }
    }
    EXPECT_LE(scanner.SecurityReads(), 2 * tree.files);
}

} // namespace
