#include "server/server_registry.h"

#include <cstring>
#include <string>

namespace {
const char* BareName(const char* server) {
    return strncmp(server, "\\\\", 2) == 0 ? server + 2 : server;
}
} // namespace

bool IsLocalComputer(const char* server) {
    if (!server || !*BareName(server))
        return true;
    char local[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof local;
    if (!GetComputerNameA(local, &size))
        return false;
    return lstrcmpiA(BareName(server), local) == 0;
}

LONG ConnectServerRegistry(const char* server, HKEY* key) {
    *key = nullptr;
    if (IsLocalComputer(server)) {
        *key = HKEY_LOCAL_MACHINE;
        return ERROR_SUCCESS;
    }
    std::string unc = std::string("\\\\") + BareName(server);
    return RegConnectRegistryA(unc.c_str(), HKEY_LOCAL_MACHINE, key);
}

void CloseServerRegistry(HKEY key) {
    if (key && key != HKEY_LOCAL_MACHINE)
        RegCloseKey(key);
}
