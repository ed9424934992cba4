// A small SMTP server on the loopback interface that accepts every mail and keeps what it was
// sent, for the policy service's mail tests.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

class SmtpSink {
public:
    SmtpSink();  // listens on 127.0.0.1 at a free port
    ~SmtpSink(); // stops listening and joins its thread
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    uint16_t Port() const { return m_port; }
    // Everything the clients sent so far, commands and mail data, in order.
    std::string Transcript() const;

private:
    void Converse(SOCKET client);

    SOCKET m_listener = INVALID_SOCKET;
    uint16_t m_port = 0;
    mutable std::mutex m_lock;
    std::string m_transcript;
    std::thread m_thread;
};

// A loopback port on which nothing listens.
uint16_t ClosedPort();
