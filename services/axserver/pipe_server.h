// The quota service's named pipe: accepts any number of clients, each served on its own thread.
// Session threads are kept and reused for later clients: starting a thread costs Wine several
// milliseconds, which every short-lived connection (one per console command or refresh) would pay.
//
// The pipe admits administrators and the local system only. A request with a bad header, an
// unknown operation or a payload over the limit is answered with an error status and its
// connection is closed; other connections are unaffected.
#pragma once

#include "services/axserver/client_session.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PipeServer {
public:
    PipeServer(QuotaService& service, ServerIdentity identity)
        : m_service(service), m_identity(std::move(identity)) {}
    ~PipeServer();
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // Creates the first pipe instance (so clients can connect once this returns) and starts
    // accepting.
    DWORD Start(const std::string& pipeName);
    // Stops accepting, ends every connection and joins every thread.
    void Stop();

private:
    DWORD CreateInstance(HANDLE& pipe);
    void AcceptLoop(HANDLE firstPipe);
    // Gives a connected pipe to an idle session thread, starting one when none is idle.
    void HandOff(HANDLE pipe);
    // Waits until fewer than the limit of clients are connected; false when stopping.
    bool WaitForFreeSession();
    void SessionLoop();
    void Serve(HANDLE pipe);

    QuotaService& m_service;
    ServerIdentity m_identity;
    std::string m_pipeName;
    HANDLE m_stopEvent = nullptr;
    void* m_securityDescriptor = nullptr;
    std::thread m_acceptThread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<HANDLE> m_waiting; // connected pipes not yet taken by a session thread
    std::vector<std::thread> m_sessions;
    size_t m_idle = 0;
    bool m_stopping = false;
};
