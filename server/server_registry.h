// Access to HKEY_LOCAL_MACHINE of a server: the local computer's own key, or a remote
// computer's through the remote registry service. Every registry access on a server goes
// through these.
#pragma once

#include <windows.h>

// Opens HKEY_LOCAL_MACHINE of `server` (null, a bare computer name or one with a leading "\\")
// into `*key`. A null or empty name, or the local computer's own name in any letter case, gives
// HKEY_LOCAL_MACHINE itself; any other name is reached with the caller's credentials. Returns
// the registry's error code, 0 on success.
LONG ConnectServerRegistry(const char* server, HKEY* key);

// Closes a key from ConnectServerRegistry; HKEY_LOCAL_MACHINE itself stays open.
void CloseServerRegistry(HKEY key);

// True when `server` (bare or with a leading "\\") names the computer this program runs on.
bool IsLocalComputer(const char* server);

// HKEY_LOCAL_MACHINE of a server for the lifetime of this object.
class ServerRegistry {
public:
    ServerRegistry() = default;
    ~ServerRegistry() { Close(); }
    ServerRegistry(const ServerRegistry&) = delete;
    ServerRegistry& operator=(const ServerRegistry&) = delete;

    LONG Connect(const char* server) {
        Close();
        return ConnectServerRegistry(server, &m_key);
    }
    HKEY Get() const { return m_key; }
    void Close() {
        if (m_key)
            CloseServerRegistry(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};
