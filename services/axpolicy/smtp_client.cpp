// Winsock 2 comes before the Windows header that the client's header brings.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "services/axpolicy/smtp_client.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct Socket {
    SOCKET s = INVALID_SOCKET;
    ~Socket() {
        if (s != INVALID_SOCKET)
            closesocket(s);
    }
};

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::string SocketError(const char* what) {
    char text[128];
    snprintf(text, sizeof text, "%s failed (Winsock error %d)", what, WSAGetLastError());
    return text;
}

// Connects within the timeout; empty text on success.
std::string Connect(Socket& socket, const MailSettings& settings, DWORD timeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::string port = std::to_string(settings.port);
    if (getaddrinfo(settings.host.c_str(), port.c_str(), &hints, &found) != 0)
        return "the SMTP server " + settings.host + " cannot be found";
    std::string failure = "the SMTP server " + settings.host + ":" + port + " does not answer";
    for (addrinfo* address = found; address; address = address->ai_next) {
        Socket attempt;
        attempt.s = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (attempt.s == INVALID_SOCKET)
            continue;
        u_long nonBlocking = 1;
        ioctlsocket(attempt.s, FIONBIO, &nonBlocking);
        ::connect(attempt.s, address->ai_addr, static_cast<int>(address->ai_addrlen));
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(attempt.s, &writable);
        FD_SET(attempt.s, &failed);
        timeval wait{static_cast<long>(timeoutMs / 1000),
                     static_cast<long>(timeoutMs % 1000) * 1000};
        int ready = select(0, nullptr, &writable, &failed, &wait);
        int error = 0;
        int size = sizeof error;
        getsockopt(attempt.s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
        if (ready <= 0 || FD_ISSET(attempt.s, &failed) || error != 0)
            continue;
        nonBlocking = 0;
        ioctlsocket(attempt.s, FIONBIO, &nonBlocking);
        DWORD timeout = timeoutMs;
        setsockopt(attempt.s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&timeout),
                   sizeof timeout);
        setsockopt(attempt.s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<char*>(&timeout),
                   sizeof timeout);
        std::swap(socket.s, attempt.s);
        failure.clear();
        break;
    }
    freeaddrinfo(found);
    return failure;
}

class Conversation {
public:
    explicit Conversation(SOCKET s) : m_socket(s) {}

    // Sends `line` (unless empty) and reads the reply; true when its code is one of `expected`.
    // A refusal is described with `shown` (the line itself when null).
    bool Step(const std::string& line, std::initializer_list<int> expected, std::string& failure,
              const char* shown = nullptr) {
        if (!line.empty() && !SendAll(line + "\r\n")) {
            failure = SocketError("sending to the SMTP server");
            return false;
        }
        int code = 0;
        std::string reply;
        if (!ReadReply(code, reply)) {
            failure = "the SMTP server did not reply";
            return false;
        }
        for (int wanted : expected)
            if (code == wanted)
                return true;
        failure =
            "the SMTP server refused " + std::string(shown ? shown : line.c_str()) + ": " + reply;
        return false;
    }

    bool SendAll(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            int n = send(m_socket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n <= 0)
                return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }

private:
    bool ReadLine(std::string& line) {
        for (;;) {
            size_t end = m_pending.find("\r\n");
            if (end != std::string::npos) {
                line = m_pending.substr(0, end);
                m_pending.erase(0, end + 2);
                return true;
            }
            char buffer[1024];
            int n = recv(m_socket, buffer, sizeof buffer, 0);
            if (n <= 0 || m_pending.size() > 65536)
                return false;
            m_pending.append(buffer, static_cast<size_t>(n));
        }
    }

    bool ReadReply(int& code, std::string& reply) {
        std::string line;
        do {
            if (!ReadLine(line) || line.size() < 3)
                return false;
            reply = line;
        } while (line.size() > 3 && line[3] == '-');
        code = atoi(line.substr(0, 3).c_str());
        return true;
    }

    SOCKET m_socket;
    std::string m_pending;
};

std::string DateHeader() {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    snprintf(text, sizeof text, "%s, %u %s %u %02u:%02u:%02u +0000", days[t.wDayOfWeek % 7], t.wDay,
             months[(t.wMonth + 11) % 12], t.wYear, t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::string Joined(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& item : list)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

// Lines end in CRLF; a line that starts with "." gets a second one.
std::string DotStuffed(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string Content(const std::string& sender, const MailMessage& message) {
    std::string head = "From: " + sender + "\r\nTo: " + Joined(message.to) + "\r\n";
    if (!message.cc.empty())
        head += "Cc: " + Joined(message.cc) + "\r\n";
    head +=
        "Subject: " + message.subject + "\r\nDate: " + DateHeader() + "\r\nMIME-Version: 1.0\r\n";
    const char* textType = "Content-Type: text/plain; charset=windows-1252\r\n";
    if (message.attachments.empty())
        return head + textType + "\r\n" + message.body + "\r\n";
    const std::string boundary = "=_AXPolicy_part_boundary";
    std::string out = head + "Content-Type: multipart/mixed; boundary=\"" + boundary +
                      "\"\r\n\r\n--" + boundary + "\r\n" + textType + "\r\n" + message.body +
                      "\r\n";
    for (const MailAttachment& attachment : message.attachments) {
        out += "--" + boundary + "\r\nContent-Type: application/octet-stream; name=\"" +
               attachment.name +
               "\"\r\nContent-Transfer-Encoding: base64\r\n"
               "Content-Disposition: attachment; filename=\"" +
               attachment.name + "\"\r\n\r\n";
        std::string encoded = Base64(attachment.content);
        for (size_t i = 0; i < encoded.size(); i += 76)
            out += encoded.substr(i, 76) + "\r\n";
    }
    return out + "--" + boundary + "--\r\n";
}

} // namespace

std::string Base64(const std::string& bytes) {
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) |
                     uint8_t(bytes[i + 2]);
        for (int shift : {18, 12, 6, 0})
            out += alphabet[(v >> shift) & 63];
    }
    if (i < bytes.size()) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size())
            v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::vector<std::string> SplitRecipients(const std::string& list) {
    std::vector<std::string> addresses;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        std::string item = Trimmed(list.substr(start, end - start));
        size_t open = item.find('<'), close = item.rfind('>');
        if (open != std::string::npos && close != std::string::npos && close > open)
            item = item.substr(open + 1, close - open - 1);
        if (!item.empty())
            addresses.push_back(item);
        start = end + 1;
    }
    return addresses;
}

std::string SendMail(const MailSettings& settings, const MailMessage& message, DWORD timeoutMs) {
    if (message.to.empty() && message.cc.empty())
        return "the mail has no recipients";
    Socket socket;
    std::string failure = Connect(socket, settings, timeoutMs);
    if (!failure.empty())
        return failure;
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = "localhost";
    DWORD size = sizeof computer;
    GetComputerNameA(computer, &size);
    std::string sender =
        settings.sender.empty() ? std::string("AXPolicy@") + computer : settings.sender;
    Conversation smtp(socket.s);
    if (!smtp.Step("", {220}, failure, "the connection"))
        return failure;
    if (!smtp.Step(std::string("EHLO ") + computer, {250}, failure) &&
        !smtp.Step(std::string("HELO ") + computer, {250}, failure))
        return failure;
    if (!settings.username.empty() &&
        (!smtp.Step("AUTH LOGIN", {334}, failure) ||
         !smtp.Step(Base64(settings.username), {334}, failure, "the user name") ||
         !smtp.Step(Base64(settings.password), {235}, failure, "the password")))
        return failure;
    if (!smtp.Step("MAIL FROM:<" + sender + ">", {250}, failure))
        return failure;
    for (const auto* list : {&message.to, &message.cc})
        for (const std::string& address : *list)
            if (!smtp.Step("RCPT TO:<" + address + ">", {250, 251}, failure))
                return failure;
    if (!smtp.Step("DATA", {354}, failure))
        return failure;
    if (!smtp.Step(DotStuffed(Content(sender, message)) + ".", {250}, failure, "the mail"))
        return failure;
    smtp.Step("QUIT", {221}, failure);
    return "";
}
