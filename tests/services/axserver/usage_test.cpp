// Usage measured by the quota service from the files below its objects.
#include "quota_service.h"

#include "base/handles.h"
#include "services/scanner/wine_host.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

namespace {

auto UsedIs(uint64_t bytes) {
    return [bytes](const AllotrixBaseDbRec& record) {
        return Scanned(record) && record.GetUsedQuota() == bytes;
    };
}

// Saves a quota of `folder` for `owner` (empty: the object's own) with `attributes` on.
AllotrixDbRec SaveQuota(AXCli& client, const TestFolder& folder, const std::string& owner,
                        uint32_t attributes = 0) {
    AllotrixDbRec record = MakeRecord(folder, owner, 1'000'000);
    record.SetAttributes(record.GetAttributes() | attributes);
    EXPECT_EQ(0u, client.Save(&record, 1));
    return record;
}

// The running child processes of `parent` that run `program` ("name.exe").
std::vector<base::UniqueHandleKernel> ChildProcesses(DWORD parent, const char* program) {
    std::vector<base::UniqueHandleKernel> children;
    base::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID == parent && _stricmp(entry.szExeFile, program) == 0)
            children.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
    }
    return children;
}

TEST(QuotaUsage, ObjectAndOwnersCountTheirFilesAndFollowWritesWithTheHighWaterMark) {
    TestFolder folder("usage");
    folder.WriteFile("a.bin", 1000);
    folder.WriteFile("sub\\b.bin", 20000);
    folder.WriteFile("sub\\deeper\\c.bin", 300);
    folder.MakeFolder("empty");
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    AllotrixDbRec object = SaveQuota(client, folder, "");
    EXPECT_TRUE(object.IsAttributeSet(AttrStatus40000000)) << "the saved quota awaits its scan";
    SaveQuota(client, folder, CurrentAccount());
    SaveQuota(client, folder, "Administrators", AttrGroupOwner);
    AllotrixBaseDbRec listed;
    for (const auto& [owner, used] : {std::pair<std::string, uint64_t>{"", 21300},
                                      {CurrentAccount(), 21300},
                                      {"Administrators", 0}})
        EXPECT_TRUE(WaitForRecord(client, folder, owner, UsedIs(used), listed))
            << owner << ": " << listed.GetUsedQuota();

    // Below a subfolder that was there before the quota, in a new one.
    std::string second = folder.WriteFile("sub\\new\\second.bin", 10000);
    EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(31300), listed)) << listed.GetUsedQuota();
    EXPECT_EQ(31300u, listed.GetHighWaterMark());
    ASSERT_TRUE(DeleteFileA(second.c_str()));
    EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(21300), listed)) << listed.GetUsedQuota();
    EXPECT_EQ(31300u, listed.GetHighWaterMark()) << "the high-water mark stays";

    // Saving with "reset high-water mark" brings it down to the usage.
    std::string device = folder.Device(), file = folder.File(), none, absent = file + "\\absent";
    ASSERT_EQ(0u, client.Get(&object, device.data(), file.data(), none.data(), 0));
    object.TurnAttributeOn(AttrResetHighWater);
    ASSERT_EQ(0u, client.Save(&object, 1));
    EXPECT_EQ(21300u, object.GetHighWaterMark());
    EXPECT_TRUE(WaitForRecord(
        client, folder, "",
        [](const AllotrixBaseDbRec& r) { return Scanned(r) && r.GetHighWaterMark() == 21300; },
        listed));
    // Only folders with a quota are rescanned on request.
    EXPECT_EQ(0u, client.Scan(device.data(), file.data()));
    EXPECT_EQ(2u, client.Scan(device.data(), absent.data()));
}

TEST(QuotaUsage, EveryExcludedOwnerCountsOffTheObjectUntilItsQuotaGoes) {
    TestFolder folder("excluded");
    folder.WriteFile("mine.bin", 5000);
    std::string theirs = folder.WriteFile("theirs.bin", 3000);
    const std::string other = "NT AUTHORITY\\ANONYMOUS LOGON"; // any other Linux user
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    SaveQuota(client, folder, "");
    SaveQuota(client, folder, CurrentAccount(), AttrExcludeFromAbsolute);
    AllotrixBaseDbRec listed;
    EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(0), listed)) << listed.GetUsedQuota();

    // A file given to another owner after it was counted is counted as theirs by the next scan.
    // Files get a second owner here only through the Linux host, and only root may give them.
    const bool twoOwners =
        RunningUnderWine() &&
        RunHostShell("chown nobody " + ShellQuoted(HostPath(theirs)), 20000) == 0;
    std::string device = folder.Device(), file = folder.File(), owner = CurrentAccount();
    ASSERT_EQ(0u, client.Scan(device.data(), file.data()));
    EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(twoOwners ? 3000 : 0), listed))
        << listed.GetUsedQuota();
    // Deleting the excluded owner's quota gives its usage back to the object.
    ASSERT_EQ(0u, client.Delete(device.data(), file.data(), owner.data()));
    EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(8000), listed)) << listed.GetUsedQuota();

    if (!twoOwners)
        GTEST_SKIP() << "no file of this test could be given to another owner";
    SaveQuota(client, folder, CurrentAccount(), AttrExcludeFromAbsolute);
    SaveQuota(client, folder, other, AttrExcludeFromAbsolute);
    EXPECT_TRUE(WaitForRecord(client, folder, other, UsedIs(3000), listed))
        << listed.GetUsedQuota();
    EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(0), listed)) << listed.GetUsedQuota();
}

TEST(QuotaUsage, WalkedByHelperProcessesBesideTheServiceThatEndWithIt) {
    TestFolder folder("helpers");
    uint64_t bytes = 0;
    for (int i = 0; i < 8; ++i) {
        folder.WriteFile("part" + std::to_string(i) + "\\file.bin", 1000 + i);
        bytes += 1000 + i;
    }
    StopServices();
    ForegroundServer server;
    ASSERT_TRUE(server.IsServing());
    {
        AXCli client;
        ASSERT_EQ(0u, client.Connect(""));
        SaveQuota(client, folder, "");
        AllotrixBaseDbRec listed;
        EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(bytes), listed))
            << listed.GetUsedQuota();
        // The folders the helpers listed are watched too.
        folder.WriteFile("part3\\late.bin", 500);
        EXPECT_TRUE(WaitForRecord(client, folder, "", UsedIs(bytes + 500), listed))
            << listed.GetUsedQuota();
    }
    std::vector<base::UniqueHandleKernel> helpers =
        ChildProcesses(server.ProcessId(), "axscan.exe");
    EXPECT_FALSE(helpers.empty()) << "axserver found no axscan.exe beside it";
    server.Kill(); // as a crash would end it
    for (const base::UniqueHandleKernel& helper : helpers)
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(helper.Get(), 10000));
    EnsureServicesRunning();
}

} // namespace
