// Sizes-only scans walked by helper processes (axscan.exe of this build), on a tree that the
// Linux shell writes and find counts.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "services/scanner/usage_scanner.h"
#include "services/scanner/wine_host.h"
#include "base/handles.h"

namespace {

std::string HelperProgram() {
    return WindowsPathOfHost(KELVANE_AXSCAN_EXE);
}

// A tree of four subtrees, each larger than what a helper lists at one request, with files of
// many sizes (one sparse, beyond 32 bits) and names with spaces: about 19,000 files. Written once
// by the Linux shell and kept (tests only read it); find's counts of it are written last, beside
// it.
class UsageScannerHelpers : public testing::Test {
protected:
    static constexpr char kTree[] = "C:\\kelvane-test\\trees\\scanner-helpers-2";

    void SetUp() override {
        if (!RunningUnderWine())
            GTEST_SKIP() << "the tree is written by the Linux shell";
        CreateDirectoryA("C:\\kelvane-test", nullptr);
        CreateDirectoryA("C:\\kelvane-test\\trees", nullptr);
        std::string script = "set -e\ntree=" + ShellQuoted(HostPath(kTree)) + R"(
[ -f "$tree.counts" ] && exit 0
work="$tree.$$"
rm -rf "$work"
mkdir "$work"
cd "$work"
for b in 0 1 2 3; do
    for s in 0 1 2 3 4 5 6 7 8 9 10 11; do
        part="big$b/part $s"
        mkdir -p "$part"
        f=0
        while [ $f -lt 400 ]; do : > "$part/f$f"; f=$((f + 1)); done
        printf '%*s' $((b * 1000 + s * 37 + 1)) '' > "$part/sized file"
    done
done
mkdir -p "big1/part 2/a/b/c/d" big3/empty
printf '%*s' 77777 '' > "big1/part 2/a/b/c/d/deep"
truncate -s 5G "big2/part 3/sparse beyond 32 bits.vhd"
cd ..
mv -T "$work" "$tree" 2>/dev/null || rm -rf "$work" # another test run was first
cd "$tree"
echo $(find . -type f -printf '%s\n' | awk '{s += $1} END {printf "%.0f", s}') \
     $(find . -type f | wc -l) $(find . -mindepth 1 -type d | wc -l) > "$tree.counts.$$"
mv "$tree.counts.$$" "$tree.counts"
)";
        ASSERT_EQ(0, RunHostShell(script, 60000));
        std::ifstream counts(std::string(kTree) + ".counts");
        ASSERT_TRUE(counts >> m_bytes >> m_files >> m_folders);
        ASSERT_GT(m_files, 19000u);
    }

    void ExpectCounted(const UsageResult& result) const {
        EXPECT_EQ(0u, result.error);
        EXPECT_EQ(m_bytes, result.totalBytes);
        EXPECT_EQ(m_files, result.fileCount);
        EXPECT_EQ(m_folders, result.folderCount);
        EXPECT_EQ(0u, result.unreadable);
    }

    std::string Root() const { return kTree; }

private:
    uint64_t m_bytes = 0, m_files = 0, m_folders = 0;
};

TEST_F(UsageScannerHelpers, SizesOnlyScansMatchFindWithHelpersWithoutAndWhenMissing) {
    UsageScanner alone, missing, helped;
    missing.UseWalkHelpers("C:\\no such folder\\axscan.exe");
    helped.UseWalkHelpers(HelperProgram(), 2);
    ExpectCounted(alone.Scan(Root(), false));
    ExpectCounted(missing.Scan(Root(), false));
    EXPECT_EQ(0u, missing.HelperWalks());

    // Scans at once share the helpers: each takes those that are free.
    std::vector<UsageResult> results(3);
    std::vector<std::thread> threads;
    for (UsageResult& result : results)
        threads.emplace_back([&] { result = helped.Scan(Root(), false); });
    for (std::thread& thread : threads)
        thread.join();
    for (const UsageResult& result : results)
        ExpectCounted(result);
    EXPECT_GE(helped.HelperWalks(), 2u);
    EXPECT_EQ(0u, helped.SecurityReads());
}

TEST_F(UsageScannerHelpers, AHelperKilledMidScanLeavesTheResultExactAndHelpersEndWithTheScanner) {
    std::mutex lock;
    std::set<DWORD> ids;
    std::vector<base::UniqueHandleKernel> seen; // the helpers of the second scan
    {
        UsageScanner scanner;
        scanner.UseWalkHelpers(HelperProgram(), 2);
        std::atomic<bool> killed{false};
        scanner.WatchHelperRequests([&](DWORD id) {
            if (killed.exchange(true))
                return;
            base::UniqueHandleKernel helper(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
            EXPECT_TRUE(TerminateProcess(helper.Get(), 9));
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(helper.Get(), 10000));
        });
        ExpectCounted(scanner.Scan(Root(), false));
        EXPECT_TRUE(killed);

        // The next scan has two helpers again.
        scanner.WatchHelperRequests([&](DWORD id) {
            std::lock_guard hold(lock);
            if (ids.insert(id).second)
                seen.emplace_back(
                    OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        });
        ExpectCounted(scanner.Scan(Root(), false));
    }
    ASSERT_EQ(2u, seen.size());
    for (const base::UniqueHandleKernel& helper : seen) {
        ASSERT_TRUE(helper);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(helper.Get(), 0));
        DWORD code = 9;
        GetExitCodeProcess(helper.Get(), &code);
        EXPECT_EQ(0u, code) << "ended by itself when its input closed, not terminated";
    }
}

} // namespace
