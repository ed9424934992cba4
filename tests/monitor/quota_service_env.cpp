#include "quota_service_env.h"

#include "tools/server_program.h"

#include <gtest/gtest.h>

using server_program::RemoveTree;
using server_program::StopPolicyService;

int QuotaServiceEnvironment::RunServerProgram(const std::string& arguments) {
    std::string error;
    const int exitCode = server_program::RunServerProgram(arguments, error);
    if (!error.empty())
        ADD_FAILURE() << error;
    return exitCode;
}

QuotaServiceEnvironment::QuotaServiceEnvironment(int kind) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    m_root = std::string(temp) + "kelvane-monitor-" + std::to_string(GetCurrentProcessId());
    RemoveTree(m_root);
    CreateDirectoryA(m_root.c_str(), nullptr);
    const std::string store = m_root + "\\store";
    StopPolicyService();
    RunServerProgram("-stop");
    if (RunServerProgram("-install -store \"" + store + "\" -kind " + std::to_string(kind)) != 0) {
        ADD_FAILURE() << "axserver -install failed";
        return;
    }
    m_running = RunServerProgram("-start") == 0;
    if (!m_running)
        ADD_FAILURE() << "axserver -start failed";
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

uint32_t QuotaServiceEnvironment::SaveQuota(const std::string& folder, uint64_t permQuota,
                                            uint32_t attributes, const char* owner) const {
    AXCli client;
    uint32_t status = client.Connect("");
    if (status != kAxOk)
        return status;
    AllotrixDbRec record;
    record.SetObjectName(folder.substr(0, 2).c_str(), folder.substr(2).c_str());
    record.SetFileOwner(owner);
    record.SetPermQuota(permQuota);
    record.SetAttributes(attributes);
    status = client.Save(&record, 1);
    client.Disconnect();
    return status;
}

uint32_t QuotaServiceEnvironment::DeleteQuota(const std::string& folder, const char* owner) const {
    AXCli client;
    uint32_t status = client.Connect("");
    if (status != kAxOk)
        return status;
    std::string device = folder.substr(0, 2), file = folder.substr(2), who = owner;
    status = client.Delete(device.data(), file.data(), who.data());
    client.Disconnect();
    return status;
}
