// The quota service's named pipe: accepts any number of clients, each served on its own thread.
//
// The pipe admits administrators and the local system only. A request with a bad header, an
// unknown operation or a payload over the limit is answered with an error status and its
// connection is closed; other connections are unaffected.
#pragma once

#include "services/axserver/client_session.h"

#include <windows.h>

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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
    struct Connection {
        std::thread thread;
        bool finished = false;
    };

    DWORD CreateInstance(HANDLE& pipe);
    void AcceptLoop(HANDLE firstPipe);
    void Serve(HANDLE pipe, Connection* connection);
    void ReapFinished();

    QuotaService& m_service;
    ServerIdentity m_identity;
    std::string m_pipeName;
    HANDLE m_stopEvent = nullptr;
    void* m_securityDescriptor = nullptr;
    std::thread m_acceptThread;
    std::mutex m_lock;
    std::list<Connection> m_connections;
};
