#include "smtp_sink.h"

namespace {

const bool g_winsock = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}();

SOCKET Listen(uint16_t& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0 || listen(s, 4) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return s;
}

bool Send(SOCKET s, const std::string& text) {
    return send(s, text.data(), static_cast<int>(text.size()), 0) == static_cast<int>(text.size());
}

} // namespace

uint16_t ClosedPort() {
    uint16_t port = 0;
    closesocket(Listen(port));
    return port;
}

SmtpSink::SmtpSink() {
    m_listener = Listen(m_port);
    m_thread = std::thread([this] {
        for (SOCKET client; (client = accept(m_listener, nullptr, nullptr)) != INVALID_SOCKET;) {
            DWORD timeout = 10000;
            setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&timeout),
                       sizeof timeout);
            Converse(client);
            closesocket(client);
        }
    });
}

SmtpSink::~SmtpSink() {
    closesocket(m_listener); // ends the accept
    m_thread.join();
}

std::string SmtpSink::Transcript() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_transcript;
}

void SmtpSink::Converse(SOCKET client) {
    std::string pending, reply = "220 sink ready\r\n";
    bool inData = false;
    int credentialsDue = 0; // lines of AUTH LOGIN still to come
    while (Send(client, reply)) {
        size_t end;
        while ((end = pending.find(inData ? "\r\n.\r\n" : "\r\n")) == std::string::npos) {
            char buffer[4096];
            int n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            pending.append(buffer, static_cast<size_t>(n));
        }
        std::string piece = pending.substr(0, end);
        pending.erase(0, end + (inData ? 5 : 2));
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_transcript += piece + "\r\n";
        }
        reply = "250 OK\r\n";
        if (inData) {
            inData = false;
        } else if (credentialsDue > 0) {
            reply = --credentialsDue ? "334 UGFzc3dvcmQ6\r\n" : "235 accepted\r\n";
        } else if (piece == "AUTH LOGIN") {
            reply = "334 VXNlcm5hbWU6\r\n";
            credentialsDue = 2;
        } else if (piece.rfind("EHLO", 0) == 0) {
            reply = "250-sink\r\n250 8BITMIME\r\n";
        } else if (piece == "DATA") {
            reply = "354 go ahead\r\n";
            inData = true;
        } else if (piece == "QUIT") {
            Send(client, "221 bye\r\n");
            return;
        }
    }
}
