#include "service_fixture.h"

#include "client/record_list.h"
#include "services/axserver/server_settings.h"
#include "tests/services/store/temp_folder.h"
#include "base/service_control.h"
#include "base/handles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

std::string WindowsPathOf(const char* unixPath) {
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

namespace {

// Size and time of a program: a rebuilt program gets its service reinstalled and restarted.
std::string BinaryStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return "";
    char stamp[64];
    snprintf(stamp, sizeof stamp, "%lu-%lu-%lu", data.nFileSizeLow,
             data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

std::string InstalledStamp() {
    char stamp[128] = {};
    DWORD size = sizeof stamp;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kParametersKey, "TestBinaryStamp", RRF_RT_REG_SZ, nullptr,
                     stamp, &size) != ERROR_SUCCESS)
        return "";
    return stamp;
}

void RecordStamp(const std::string& stamp) {
    base::UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParametersKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, key.Put(), nullptr));
    RegSetValueExA(key.Get(), "TestBinaryStamp", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(stamp.c_str()),
                   static_cast<DWORD>(stamp.size() + 1));
}

} // namespace

DWORD RunProgram(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return GetLastError();
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

std::string ServerProgram() {
    return WindowsPathOf(KELVANE_AXSERVER_EXE);
}

void ForgetInstallation() {
    RecordStamp("");
}

void EnsureServicesRunning() {
    std::string server = ServerProgram();
    std::string policy = WindowsPathOf(KELVANE_AXPOLICY_EXE);
    // The service's helper processes run axscan.exe: a new one restarts the service too.
    std::string stamp = BinaryStamp(server) + "/" + BinaryStamp(policy) + "/" +
                        BinaryStamp(WindowsPathOf(KELVANE_AXSCAN_EXE));
    DWORD state = 0;
    bool installed = QueryServiceState(kQuotaServiceName, nullptr, state) == ERROR_SUCCESS &&
                     QueryServiceState(kPolicyServiceName, nullptr, state) == ERROR_SUCCESS;
    if (!installed || InstalledStamp() != stamp) {
        StopServiceAndWait(kPolicyServiceName);
        StopServiceAndWait(kQuotaServiceName);
        ASSERT_EQ(0u, RunProgram("\"" + server + "\" -install -store " + kTestStore));
        ASSERT_EQ(0u, RunProgram("\"" + policy + "\" -install"));
        RecordStamp(stamp);
    }
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kQuotaServiceName));
    ASSERT_EQ(ERROR_SUCCESS, StartServiceAndWait(kPolicyServiceName));
}

void StopServices() {
    ASSERT_EQ(ERROR_SUCCESS, StopServiceAndWait(kPolicyServiceName));
    ASSERT_EQ(ERROR_SUCCESS, StopServiceAndWait(kQuotaServiceName));
}

ForegroundServer::ForegroundServer() {
    std::string line =
        "\"" + WindowsPathOf(KELVANE_AXSERVER_EXE) + "\" -console -store " + kTestStore;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_process)) {
        ADD_FAILURE() << "cannot start " << line << ": " << GetLastError();
        return;
    }
    DWORD start = GetTickCount();
    while (!m_serving && GetTickCount() - start < 10000) {
        AXCli probe;
        m_serving = probe.Connect("") == ERROR_SUCCESS;
        if (!m_serving)
            Sleep(20);
    }
    EXPECT_TRUE(m_serving) << "the foreground server does not answer";
}

ForegroundServer::~ForegroundServer() {
    Kill();
}

void ForegroundServer::Kill() {
    if (!m_process.hProcess)
        return;
    TerminateProcess(m_process.hProcess, 9);
    WaitForSingleObject(m_process.hProcess, 10000);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
    m_process = {};
    m_serving = false;
}

void RestartQuotaService() {
    StopServiceAndWait(kPolicyServiceName);
    ASSERT_EQ(ERROR_SUCCESS, StopServiceAndWait(kQuotaServiceName));
    EnsureServicesRunning();
}

TestFolder::TestFolder(const std::string& name) {
    CreateDirectoryA(kTestRoot, nullptr);
    CreateDirectoryA((std::string(kTestRoot) + "\\data").c_str(), nullptr);
    m_path = std::string(kTestRoot) + "\\data\\" + name;
    RemoveFolderTree(m_path);
    EXPECT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr)) << m_path;
}

TestFolder::~TestFolder() {
    AXCli client;
    if (client.Connect("") == ERROR_SUCCESS) {
        std::vector<AllotrixBaseDbRec> records = ListAll(client);
        for (AllotrixBaseDbRec& record : records) {
            if (_stricmp(record.GetMappedName(1), m_path.c_str()) != 0)
                continue;
            std::string device = Device(), file = File();
            client.Delete(device.data(), file.data(), record.GetFileOwner());
        }
    }
    RemoveFolderTree(m_path);
}

std::string TestFolder::MakeFolder(const std::string& relative) const {
    std::string path = m_path;
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        path += "\\" + relative.substr(start, end - start);
        CreateDirectoryA(path.c_str(), nullptr);
        start = end + 1;
    }
    return path;
}

std::string TestFolder::WriteFile(const std::string& relative, size_t size) const {
    size_t slash = relative.rfind('\\');
    if (slash != std::string::npos)
        MakeFolder(relative.substr(0, slash));
    std::string path = m_path + "\\" + relative;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << path;
    std::string bytes(size, 'k');
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
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

std::string CurrentAccount() {
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {}, user[256] = {};
    DWORD computerSize = sizeof computer, userSize = sizeof user;
    GetComputerNameA(computer, &computerSize);
    GetUserNameA(user, &userSize);
    return std::string(computer) + "\\" + user;
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

class ServicesEnvironment : public testing::Environment {
public:
    void SetUp() override { EnsureServicesRunning(); }
};

const testing::Environment* const g_services =
    testing::AddGlobalTestEnvironment(new ServicesEnvironment);
