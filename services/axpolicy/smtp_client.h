// Sends one mail over SMTP (Winsock; plain connection, optional AUTH LOGIN), every step bounded
// by a timeout. The caller starts Winsock (WSAStartup) first.
#pragma once

#include "services/axpolicy/policy_settings.h"

#include <string>
#include <vector>

struct MailAttachment {
    std::string name;
    std::string content;
};

struct MailMessage {
    std::vector<std::string> to;
    std::vector<std::string> cc;
    std::string subject;
    std::string body;
    std::vector<MailAttachment> attachments;
};

// The addresses of a ";"-separated recipient list ("Ann <ann@example.com>" gives the address in
// brackets).
std::vector<std::string> SplitRecipients(const std::string& list);

// Returns the empty text when the server accepted the mail, else why it was not sent.
std::string SendMail(const MailSettings& settings, const MailMessage& message,
                     DWORD timeoutMs = 20000);

std::string Base64(const std::string& bytes);
