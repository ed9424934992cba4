// The policy service end to end: quotas saved through the client library, files written into
// their objects, and what the installed AXPolicy service does about it.
#include "smtp_sink.h"

#include "base/handles.h"
#include "base/service_control.h"
#include "quota_service.h"
#include "services/axserver/server_settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kPolicyLog[] = "C:\\kelvane-test\\policy\\AXPolicy.log";
constexpr uint64_t kKB = 1024;
constexpr uint64_t kMB = 1024 * 1024;

using child_process::ReadFileText;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool WaitFor(const std::function<bool()>& done) {
    for (DWORD start = GetTickCount(); !done(); Sleep(100))
        if (GetTickCount() - start > 60000)
            return false;
    return true;
}

// The log file's lines written after the test started.
class LogWatch {
public:
    std::string Since() const {
        std::string text = ReadFileText(kPolicyLog);
        return text.size() > m_start ? text.substr(m_start) : "";
    }
    bool WaitFor(const std::string& words) const {
        return ::WaitFor([&] { return Since().find(words) != std::string::npos; });
    }

private:
    size_t m_start = ReadFileText(kPolicyLog).size();
};

AllotrixDbRec Read(const TestFolder& folder) {
    AXCli client;
    AllotrixDbRec record;
    std::string device = folder.Device(), file = folder.File(), owner;
    EXPECT_EQ(0u, client.Connect(""));
    EXPECT_EQ(0u, client.Get(&record, device.data(), file.data(), owner.data(), 0));
    return record;
}

// Saves `record`, the object's own quota, and waits until its empty folder has been measured.
void SaveAndWaitForScan(const TestFolder& folder, AllotrixDbRec& record) {
    AXCli client;
    ASSERT_EQ(0u, client.Connect(""));
    ASSERT_EQ(0u, client.Save(&record, 1));
    AllotrixBaseDbRec last;
    ASSERT_TRUE(WaitForRecord(
        client, folder, "", [](const AllotrixBaseDbRec& r) { return Scanned(r); }, last, 30000));
}

TEST(PolicyService, CommandRunsOncePerCrossingWithItsMacrosAcrossRestarts) {
    TestFolder folder("policy-crossing");
    std::string out = std::string(kTestRoot) + "\\policy-crossing.txt";
    DeleteFileA(out.c_str());
    AllotrixDbRec record = MakeRecord(folder, "", 1 * kMB);
    record.SetThreshPercent1(50);
    record.TurnAttributeOn(AttrBelow1);
    record.Actions[0].TurnPolicyFlagOn(PolAbove);
    record.Actions[0].SetPolicyToExecute(("echo [THRESH NUMBER] [PERCENT USED] [CURRENT USAGE KB] "
                                          "[OBJECT NAME] [USER NO DOMAIN] [SERVER NAME]>>" +
                                          out)
                                             .c_str());
    SaveAndWaitForScan(folder, record);
    auto lines = [&] { return Lines(ReadFileText(out)); };

    folder.WriteFile("a.bin", 600 * kKB);
    ASSERT_TRUE(WaitFor([&] { return lines().size() == 1; }));
    EXPECT_EQ("1 58 600 " + folder.Path() + " " + UserName() + " " + ComputerName(), lines()[0]);

    // Still above after more files and a restart of both services, the policy service first:
    // no second firing, and the policy service waits for the quota service meanwhile.
    LogWatch log;
    folder.WriteFile("b.bin", 100 * kKB);
    AXCli client;
    AllotrixBaseDbRec last;
    ASSERT_EQ(0u, client.Connect(""));
    ASSERT_TRUE(WaitForRecord(
        client, folder, "",
        [](const AllotrixBaseDbRec& r) { return Scanned(r) && r.GetUsedQuota() == 700 * kKB; },
        last));
    StopServices();
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kPolicyServiceName));
    EXPECT_TRUE(log.WaitFor("AXServer does not answer; AXPolicy waits for it."));
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kQuotaServiceName));
    EXPECT_TRUE(log.WaitFor("AXServer answers; AXPolicy goes to work."));

    // Falling under fires the below trigger; rising again fires the above one again.
    DeleteFileA((folder.Path() + "\\a.bin").c_str());
    DeleteFileA((folder.Path() + "\\b.bin").c_str());
    ASSERT_TRUE(WaitFor([&] { return lines().size() == 2; }));
    EXPECT_EQ("1 0 0", lines()[1].substr(0, 5));
    folder.WriteFile("c.bin", 512 * kKB);
    ASSERT_TRUE(WaitFor([&] { return lines().size() == 3; }));
    EXPECT_EQ("1 50 512", lines()[2].substr(0, 8));
    // The commands' output files are gone.
    EXPECT_TRUE(WaitFor([] {
        WIN32_FIND_DATAA data{};
        base::UniqueFind find(FindFirstFileA("C:\\kelvane-test\\policy\\cmd*.tmp", &data));
        return !find;
    }));
}

// The single file in `folder` whose name starts with `stem`.
std::string ReportIn(const std::string& folder, const std::string& stem) {
    WIN32_FIND_DATAA data{};
    base::UniqueFind find(FindFirstFileA((folder + "\\" + stem + "-*").c_str(), &data));
    return find ? ReadFileText(folder + "\\" + data.cFileName) : "";
}

// True when one line of `text` (or, for words spanning lines, the text) holds every word.
bool HasLineWith(const std::string& text, const std::vector<std::string>& words) {
    std::vector<std::string> lines = Lines(text);
    lines.push_back(text);
    for (const std::string& line : lines) {
        bool all = true;
        for (const std::string& word : words)
            all = all && line.find(word) != std::string::npos;
        if (all)
            return true;
    }
    return false;
}

// The server's SMTP settings for one test, removed again after it.
class MailServerSetting {
public:
    explicit MailServerSetting(const std::string& server, const std::string& user = "") {
        for (auto [name, value] : {std::pair<const char*, std::string>{"SMTP Server", server},
                                   {"Sender", "quota@kelvane.test"},
                                   {"Username", user},
                                   {"Password", user.empty() ? "" : "s3cret"}})
            EXPECT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, kKey, name, REG_SZ,
                                                     value.c_str(), DWORD(value.size() + 1)));
    }
    ~MailServerSetting() {
        for (const char* name : {"SMTP Server", "Sender", "Username", "Password"})
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kKey, name);
    }

private:
    static constexpr char kKey[] = "Software\\Ostrel\\Mail";
};

TEST(PolicyService, ReportsLandInTheirFolderInEachFormatAndAreMailedWithTheMessage) {
    SmtpSink sink;
    ASSERT_NE(0, sink.Port());
    MailServerSetting mailServer("127.0.0.1:" + std::to_string(sink.Port()), "quota-user");
    TestFolder folder("policy-reports");
    const uint32_t allReports = PolReportAged | PolReportLastAccess | PolReportNew |
                                PolReportDuplicates | PolReportLarge | PolReportDirUsage |
                                PolReportSummary | PolReportUsageByOwner;
    struct Case {
        uint32_t bits;
        std::string folder;
        // Each report with words that one of its lines holds.
        std::vector<std::pair<std::string, std::vector<std::string>>> expected;
    };
    std::string root = std::string(kTestRoot) + "\\reports-";
    std::string big = folder.Path() + "\\big.bin";
    const Case cases[] = {
        {allReports | PolFormatAscii | PolMailReport,
         root + "ascii",
         {{"Summary", {"Bytes in files", "430080"}},
          {"LargeFiles", {big, "409600"}},
          {"AgedFiles", {big, "409600"}},
          {"LastAccess", {big, "409600"}},
          {"NewFiles", {big, "409600"}},
          {"DuplicateFiles", {"copy.txt", "10240", "2", folder.Path() + "\\two\\copy.txt"}},
          {"DirectoryUsage", {folder.Path() + "\\one", "10240", "2.4"}},
          {"UsageByOwner", {UserName(), "430080", "100.0"}}}},
        {PolReportLarge | PolFormatHtml,
         root + "html",
         {{"LargeFiles", {"<tr><td>" + big + "</td><td>409600</td>"}}}},
        {PolReportDuplicates | PolFormatComma,
         root + "comma",
         {{"DuplicateFiles",
           {"Name,Size (bytes),Copies,Wasted (bytes),Files\r\ncopy.txt,10240,2,"
            "10240,"}}}},
    };
    AllotrixDbRec record = MakeRecord(folder, "", 1 * kMB);
    for (int n = 1; n <= 3; ++n) {
        const Case& c = cases[n - 1];
        RemoveTree(c.folder);
        record.SetThreshPercent(n, static_cast<uint8_t>(40 - 10 * n));
        record.Actions[n - 1].SetPolicyFlags(c.bits | PolAbove);
        strcpy(record.Actions[n - 1].ReportMail.OutputDirectory, c.folder.c_str());
    }
    AllotrixActionRec& mailed = record.Actions[0];
    mailed.SetMessage("[OBJECT NAME] is [PERCENT USED]% full.");
    strcpy(mailed.ReportMail.MailTo, "ann@kelvane.test; Bob <bob@kelvane.test>;");
    strcpy(mailed.ReportMail.MailSubject, "Threshold [THRESH NUMBER] reached");
    SaveAndWaitForScan(folder, record);
    folder.WriteFile("one\\copy.txt", 10 * kKB);
    folder.WriteFile("two\\copy.txt", 10 * kKB);
    folder.WriteFile("big.bin", 400 * kKB);

    for (const Case& c : cases) {
        for (const auto& [stem, words] : c.expected) {
            std::string report;
            EXPECT_TRUE(WaitFor([&] { return !(report = ReportIn(c.folder, stem)).empty(); }))
                << stem << " in " << c.folder;
            EXPECT_TRUE(HasLineWith(report, words)) << words[0] << " in\n" << report;
        }
        RemoveTree(c.folder);
    }
    ASSERT_TRUE(WaitFor([&] { return sink.Transcript().find("QUIT") != std::string::npos; }));
    std::string mail = sink.Transcript();
    for (const std::string& text :
         {std::string("AUTH LOGIN\r\ncXVvdGEtdXNlcg==\r\nczNjcmV0\r\n"),
          std::string("MAIL FROM:<quota@kelvane.test>"), std::string("RCPT TO:<ann@kelvane.test>"),
          std::string("RCPT TO:<bob@kelvane.test>"), std::string("Subject: Threshold 1 reached"),
          folder.Path() + " is ", std::string("filename=\"UsageByOwner-")})
        EXPECT_NE(std::string::npos, mail.find(text)) << text << " in\n" << mail;
}

// Both services read their auditing switch when they start.
void SwitchAuditing(const char* text) {
    for (const char* value : {"ServerAuditing", "PolicyAuditing"})
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Ostrel\\Allotrix\\4.0", value,
                                  REG_SZ, text, DWORD(strlen(text) + 1)));
    StopServices();
    EnsureServicesRunning();
}
struct AuditingOn {
    AuditingOn() { SwitchAuditing("Enabled"); }
    ~AuditingOn() { SwitchAuditing("Disabled"); }
};

// The message box of a notice on the desktop, found by its text; closed once found.
bool TakeNotice(const std::string& text) {
    return WaitFor([&] {
        for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", "AXPolicy"); box;
             box = FindWindowExA(nullptr, box, "#32770", "AXPolicy")) {
            char shown[1024] = {};
            GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
            if (text == shown)
                return PostMessageA(box, WM_COMMAND, IDOK, 0) != FALSE;
        }
        return false;
    });
}

// Two thresholds crossed at once: the actions of the first are audited and adjust the quota up
// to their repeat limit, those of the second fail and are logged, and neither stops the other.
TEST(PolicyService, AuditsAdjustsUpToTheRepeatLimitAndLogsFailingActions) {
    AuditingOn auditing;
    MailServerSetting mailServer("127.0.0.1:" + std::to_string(ClosedPort()));
    TestFolder folder("policy-audit");
    std::string serverLog = std::string(kTestStore) + "\\AXServer.log";
    size_t serverLogStart = ReadFileText(serverLog).size();
    AllotrixDbRec record = MakeRecord(folder, "", 1 * kMB);
    record.SetThreshPercent1(10);
    AllotrixActionRec& audited = record.Actions[0];
    audited.SetPolicyFlags(PolAbove | PolNotifyUser);
    audited.SetMessage("[OBJECT NAME] passed [THRESH NUMBER].");
    audited.SetPolicyToExecute("echo audited");
    audited.SetAdjustQuota(1 * kMB);
    audited.SetRepeat(1);
    record.SetThreshPercent2(5);
    AllotrixActionRec& failing = record.Actions[1];
    failing.SetPolicyFlags(PolAbove | PolReportSummary | PolSendToConsole | PolWarning);
    failing.SetMessage("faults test message");
    failing.SetPolicyToExecute("kelvane-no-such-program [USER]");
    strcpy(failing.ReportMail.OutputDirectory, "Q:\\no-such-drive\\reports");
    strcpy(failing.ReportMail.MailTo, "ann@kelvane.test");
    SaveAndWaitForScan(folder, record);
    LogWatch log;
    folder.WriteFile("data.bin", 200 * kKB);

    std::string notice = folder.Path() + " passed 1.";
    EXPECT_TRUE(TakeNotice(notice));
    std::string first = "Information: Threshold 1 (10%) of " + folder.Path() + ": ";
    std::string second = "Error: Threshold 2 (5%) of " + folder.Path() + ": ";
    for (const std::string& text :
         {first + "usage rose to or past the threshold.",
          first + "the permanent quota was adjusted from 1048576 to 2097152 bytes",
          first + "the message was shown to the user: " + notice,
          first + "ran the command: echo audited", std::string("Warning: faults test message"),
          second + "the command failed with exit code",
          second + "the reports could not be written to Q:\\no-such-drive\\reports",
          second + "the mail to ann@kelvane.test was not sent: the SMTP server 127.0.0.1:"})
        EXPECT_TRUE(log.WaitFor(text)) << text << " in\n" << log.Since();
    std::string changes = ReadFileText(serverLog).substr(serverLogStart);
    std::string saved = "Saved the quota of " + folder.Path() + ": permanent quota ";
    for (const std::string& text : {saved + "1048576 bytes", saved + "2097152 bytes"})
        EXPECT_NE(std::string::npos, changes.find(text)) << text << " in\n" << changes;

    // Crossed again (300 KB of 2 MB): the repeat limit keeps the quota.
    folder.WriteFile("more.bin", 100 * kKB);
    EXPECT_TRUE(TakeNotice(notice));
    EXPECT_TRUE(log.WaitFor("the quota was not adjusted: the repeat limit of 1 adjustments is "
                            "reached"));
    EXPECT_EQ(2 * kMB, Read(folder).GetPermQuota());
    EXPECT_EQ(1u, Read(folder).Actions[0].GetCurrentRepeat());
}

// What the event viewer shows for an entry: the text of message 1 of the source's message file.
TEST(PolicyService, EventSourcesNameProgramsThatWordTheirEntries) {
    for (const char* source : {kQuotaServiceName, kPolicyServiceName}) {
        char program[MAX_PATH] = {};
        DWORD size = sizeof program;
        std::string key =
            std::string("SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\") + source;
        ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "EventMessageFile",
                                              RRF_RT_REG_SZ, nullptr, program, &size));
        base::UniqueLibrary module(LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module) << program;
        const char* text = "Threshold 1 (50%) of C:\\Data: usage rose to or past the threshold.";
        DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(text)};
        char shown[512] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module.Get(), 1,
                       0, shown, sizeof shown, reinterpret_cast<va_list*>(arguments));
        EXPECT_EQ(std::string(text) + "\r\n", shown) << source;
    }
}

} // namespace
