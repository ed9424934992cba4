#include "quota_service.h"

#include "base/service_control.h"
#include "client/record_list.h"
#include "services/axserver/server_settings.h"
#include "temp_folder.h"
#include "tools/server_program.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

constexpr char kStampFile[] = "C:\\kelvane-test\\services-of-this-build";

// The sizes and times of the programs the services run (the helper processes run axscan.exe): a
// rebuilt one gets the services installed and started anew.
std::string BuildStamp() {
    std::string stamp;
    for (const std::string& program :
         {server_program::ServerProgramPath(), WindowsPathOf(KELVANE_AXPOLICY_EXE),
          WindowsPathOf(KELVANE_AXSCAN_EXE)}) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(program.c_str(), GetFileExInfoStandard, &data);
        stamp += std::to_string(data.nFileSizeLow) + "-" +
                 std::to_string(data.ftLastWriteTime.dwHighDateTime) + "-" +
                 std::to_string(data.ftLastWriteTime.dwLowDateTime) + "/";
    }
    return stamp;
}

} // namespace

int RunProgram(const std::string& commandLine, std::string* output) {
    std::string error;
    const int code = child_process::RunProgram(commandLine, error, output);
    if (!error.empty())
        ADD_FAILURE() << error;
    return code;
}

int RunServerProgram(const std::string& arguments) {
    return RunProgram("\"" + server_program::ServerProgramPath() + "\" " + arguments);
}

void ForgetInstallation() {
    DeleteFileA(kStampFile);
}

void EnsureServicesRunning() {
    const std::string stamp = BuildStamp();
    DWORD state = 0;
    bool installed = QueryServiceState(kQuotaServiceName, nullptr, state) == ERROR_SUCCESS &&
                     QueryServiceState(kPolicyServiceName, nullptr, state) == ERROR_SUCCESS;
    if (!installed || child_process::ReadFileText(kStampFile) != stamp) {
        StopServiceAndWait(kPolicyServiceName);
        StopServiceAndWait(kQuotaServiceName);
        ASSERT_EQ(0, RunServerProgram(std::string("-install -store ") + kTestStore));
        ASSERT_EQ(0, RunProgram("\"" + WindowsPathOf(KELVANE_AXPOLICY_EXE) + "\" -install"));
        std::ofstream(kStampFile) << stamp;
    }
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kQuotaServiceName));
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kPolicyServiceName));
}

void StopServices() {
    ASSERT_EQ(ERROR_SUCCESS, StopServiceAndWait(kPolicyServiceName));
    ASSERT_EQ(ERROR_SUCCESS, StopServiceAndWait(kQuotaServiceName));
}

void RestartQuotaService() {
    StopServiceAndWait(kPolicyServiceName);
    ASSERT_EQ(ERROR_SUCCESS, StopServiceAndWait(kQuotaServiceName));
    EnsureServicesRunning();
}

ForegroundServer::ForegroundServer() {
    std::string line =
        "\"" + server_program::ServerProgramPath() + "\" -console -store " + kTestStore;
    if (DWORD error = m_process.Start(line)) {
        ADD_FAILURE() << "cannot start " << line << ": " << error;
        return;
    }
    for (DWORD start = GetTickCount(); !m_serving && GetTickCount() - start < 10000; Sleep(20)) {
        AXCli probe;
        m_serving = probe.Connect("") == ERROR_SUCCESS;
    }
    EXPECT_TRUE(m_serving) << "the foreground server does not answer";
}

void ForegroundServer::Kill() {
    m_process.Kill();
    m_serving = false;
}

QuotaServiceEnvironment::QuotaServiceEnvironment(int kind) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    m_root = std::string(temp) + "kelvane-service-" + std::to_string(GetCurrentProcessId());
    RemoveTree(m_root);
    CreateDirectoryA(m_root.c_str(), nullptr);
    server_program::StopPolicyService();
    RunServerProgram("-stop");
    if (RunServerProgram("-install -store \"" + m_root + "\\store\" -kind " +
                         std::to_string(kind)) != 0) {
        ADD_FAILURE() << "axserver -install failed";
        return;
    }
    m_running = RunServerProgram("-start") == 0;
    EXPECT_TRUE(m_running) << "axserver -start failed";
}

QuotaServiceEnvironment::~QuotaServiceEnvironment() {
    Stop();
    RunServerProgram("-uninstall");
    RemoveTree(m_root);
}

bool QuotaServiceEnvironment::Stop() {
    if (m_running)
        m_running = RunServerProgram("-stop") != 0;
    return !m_running;
}

std::string QuotaServiceEnvironment::Folder(const std::string& name) const {
    const std::string folder = m_root + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

uint32_t SaveQuota(const std::string& folder, uint64_t permQuota, uint32_t attributes,
                   const char* owner) {
    AXCli client;
    AllotrixDbRec record;
    record.SetObjectName(folder.substr(0, 2).c_str(), folder.substr(2).c_str());
    record.SetFileOwner(owner);
    record.SetPermQuota(permQuota);
    record.SetAttributes(attributes);
    uint32_t status = client.Connect("");
    return status != kAxOk ? status : client.Save(&record, 1);
}

uint32_t DeleteQuota(const std::string& folder, const char* owner) {
    AXCli client;
    std::string device = folder.substr(0, 2), file = folder.substr(2), who = owner;
    uint32_t status = client.Connect("");
    return status != kAxOk ? status : client.Delete(device.data(), file.data(), who.data());
}

TestFolder::TestFolder(const std::string& name)
    : m_path(std::string(kTestRoot) + "\\data\\" + name) {
    CreateDirectoryA(kTestRoot, nullptr);
    CreateDirectoryA((std::string(kTestRoot) + "\\data").c_str(), nullptr);
    RemoveTree(m_path);
    EXPECT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr)) << m_path;
}

TestFolder::~TestFolder() {
    AXCli client;
    if (client.Connect("") == ERROR_SUCCESS) {
        for (AllotrixBaseDbRec& record : ListAll(client))
            if (_stricmp(record.GetMappedName(1), m_path.c_str()) == 0)
                DeleteQuota(m_path, record.GetFileOwner());
    }
    RemoveTree(m_path);
}

std::string TestFolder::MakeFolder(const std::string& relative) const {
    const std::string path = m_path + "\\" + relative + "\\";
    for (size_t end = path.find('\\', m_path.size() + 1); end != std::string::npos;
         end = path.find('\\', end + 1))
        CreateDirectoryA(path.substr(0, end).c_str(), nullptr);
    return path.substr(0, path.size() - 1);
}

std::string TestFolder::WriteFile(const std::string& relative, size_t size) const {
    size_t slash = relative.rfind('\\');
    if (slash != std::string::npos)
        MakeFolder(relative.substr(0, slash));
    std::string path = m_path + "\\" + relative;
    EXPECT_TRUE(WriteTestFile(path, size)) << path;
    return path;
}

AllotrixDbRec MakeRecord(const TestFolder& folder, const std::string& owner, uint64_t quota) {
    AllotrixDbRec record;
    record.SetObjectName(folder.Device().c_str(), folder.File().c_str());
    record.SetFileOwner(owner.c_str());
    if (owner.empty())
        record.TurnAttributeOn(AttrAbsolute);
    record.SetPermQuota(quota);
    return record;
}

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

std::string UserName() {
    char name[256] = {};
    DWORD size = sizeof name;
    GetUserNameA(name, &size);
    return name;
}

std::string CurrentAccount() {
    return ComputerName() + "\\" + UserName();
}

std::vector<AllotrixBaseDbRec> ListAll(AXCli& client) {
    std::vector<AllotrixBaseDbRec> records;
    EXPECT_EQ(0u, ListRecords(client, [&](const AllotrixBaseDbRec& r) { records.push_back(r); }));
    return records;
}

bool IsOwner(const char* listed, const std::string& owner) {
    if (_stricmp(listed, owner.c_str()) == 0)
        return true;
    // The service lists an owner by the account's full name ("BUILTIN\Users" for "Users").
    const char* slash = strrchr(listed, '\\');
    return slash && owner.find('\\') == std::string::npos && !owner.empty() &&
           _stricmp(slash + 1, owner.c_str()) == 0;
}

bool FindListed(AXCli& client, const TestFolder& folder, const std::string& owner,
                AllotrixBaseDbRec& found) {
    for (const AllotrixBaseDbRec& record : ListAll(client))
        if (_stricmp(record.GetMappedName(1), folder.Path().c_str()) == 0 &&
            IsOwner(record.GetFileOwner(), owner)) {
            found = record;
            return true;
        }
    return false;
}
