// The quota service's named pipe: serves up to 64 clients at once, each on its own thread.
// Session threads are kept and reused for later clients: starting a thread costs Wine several
// milliseconds, which every short-lived connection (one per console command or refresh) would pay.
// Threads left idle for a while end, down to a few.
//
// No client can hold a session against others: a request must arrive whole within 10 seconds of
// its first byte, a connection that sends nothing for a minute is closed, and when every session
// is taken the one that has waited longest for a request is closed to serve the newcomer.
//
// The pipe admits administrators and the local system only, and only one server serves it: a
// second one (another service process, or `axserver -console` beside the service) does not
// start. A request with a bad header, an unknown operation or a payload over the limit is answered
// with an error status and its connection is closed; other connections are unaffected.
#pragma once

#include "services/axserver/client_session.h"
#include "base/handles.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <list>
#include <mutex>
#include <string>
#include <thread>

class PipeIo;

class PipeServer {
public:
    PipeServer(QuotaService& service, ServerIdentity identity)
        : m_service(service), m_identity(std::move(identity)) {}
    ~PipeServer();
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;

    // Creates the first pipe instance (so clients can connect once this returns) and starts
    // accepting. ERROR_SERVICE_ALREADY_RUNNING when another server serves the pipe.
    DWORD Start(const std::string& pipeName);
    // Stops accepting, ends every connection and joins every thread.
    void Stop();
    // Whether some server already listens on the pipe.
    static bool IsServed(const std::string& pipeName);

private:
    struct Worker {
        std::thread thread;
        bool finished = false;
    };
    // A session waiting for its client's next request; `wake` ends the wait.
    struct QuietSession {
        HANDLE wake;
        bool evicted = false;
    };

    DWORD CreateInstance(base::UniqueFile& pipe, bool first);
    void AcceptLoop(base::UniqueFile pipe);
    // Gives a connected pipe to an idle session thread, starting one when none is idle.
    void HandOff(base::UniqueFile pipe);
    // Waits until a session is free, closing the longest quiet one when all are taken; false
    // when stopping.
    bool WaitForFreeSession();
    void SessionLoop(Worker& self);
    void JoinFinishedLocked();
    void Serve(base::UniqueFile pipe);
    // Reads the first byte of the next request, waiting at most the idle bound; false when the
    // client went away, stayed silent or its session was needed for another client.
    bool AwaitRequest(PipeIo& io, uint8_t& first);

    QuotaService& m_service;
    ServerIdentity m_identity;
    std::string m_pipeName;
    base::UniqueHandleKernel m_stopEvent;
    base::UniqueLocal m_securityDescriptor;
    std::thread m_acceptThread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<base::UniqueFile> m_waiting; // connected pipes not yet taken by a session thread
    std::list<Worker> m_workers;
    std::list<QuietSession> m_quiet;
    size_t m_idle = 0;
    size_t m_connected = 0; // pipes handed off and not yet closed
    bool m_stopping = false;
};
