#include "client/records.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <size_t N> bool Terminated(const char (&field)[N]) {
    return memchr(field, 0, N) != nullptr;
}

template <size_t N> void CopyText(char (&field)[N], const char* text) {
    if (!text)
        text = "";
    size_t length = strnlen(text, N - 1);
    memcpy(field, text, length);
    memset(field + length, 0, N - length);
}

char* FormatUnsigned(char* text, uint64_t value) {
    snprintf(text, kNumberTextSize, "%" PRIu64, value);
    return text;
}

// Reads a whole decimal text (blanks around it allowed) into `value`; false leaves it unchanged.
bool ParseUnsigned(const char* text, uint64_t max, uint64_t& value) {
    if (!text)
        return false;
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text < '0' || *text > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long parsed = strtoull(text, &end, 10);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (errno == ERANGE || *end != '\0' || parsed > max)
        return false;
    value = parsed;
    return true;
}

template <typename T> bool ParseInto(const char* text, T& field) {
    uint64_t value = 0;
    if (!ParseUnsigned(text, static_cast<T>(~T{0}), value))
        return false;
    field = static_cast<T>(value);
    return true;
}

} // namespace

void ScrambleMailSecret(char* stored, const char* clear) {
    for (size_t i = 0; i < kMailSecretSize; ++i)
        stored[i] = static_cast<char>(ScrambleByte(static_cast<uint8_t>(clear[i])));
}

void UnscrambleMailSecret(char* clear, const char* stored, size_t count) {
    for (size_t i = 0; i < count; ++i)
        clear[i] = static_cast<char>(UnscrambleByte(static_cast<uint8_t>(stored[i])));
}

uint32_t CountRecipients(char* list) {
    size_t length = strlen(list);
    while (length > 0 &&
           (list[length - 1] == ';' || list[length - 1] == ' ' || list[length - 1] == '\t'))
        --length;
    list[length] = '\0';
    if (length == 0)
        return 0;
    uint32_t count = 1;
    for (size_t i = 0; i < length; ++i)
        count += list[i] == ';';
    return count;
}

namespace {
void StoreSecret(char (&field)[kMailSecretSize], const char* clear) {
    char padded[kMailSecretSize] = {};
    if (clear)
        memcpy(padded, clear, strnlen(clear, kMailSecretSize - 1));
    ScrambleMailSecret(field, padded);
}

void ReadSecret(const char (&field)[kMailSecretSize], char* clear, size_t count) {
    UnscrambleMailSecret(clear, field, count < kMailSecretSize ? count : kMailSecretSize);
}
} // namespace

void ReportMailInfo::SetMailProfile(const char* clear) {
    StoreSecret(MailProfile, clear);
}
void ReportMailInfo::SetMailPassword(const char* clear) {
    StoreSecret(MailPassword, clear);
}
void ReportMailInfo::GetMailProfile(char* clear, size_t count) const {
    ReadSecret(MailProfile, clear, count);
}
void ReportMailInfo::GetMailPassword(char* clear, size_t count) const {
    ReadSecret(MailPassword, clear, count);
}

void ReportMailInfo::CountRecipients() {
    MailTo[kMailTextSize - 1] = '\0';
    MailCc[kMailTextSize - 1] = '\0';
    ToCount = ::CountRecipients(MailTo);
    CcCount = ::CountRecipients(MailCc);
}

char* AllotrixBaseDbRec::GetPermQuotaW(char* text) const {
    return FormatUnsigned(text, m_permQuota);
}
bool AllotrixBaseDbRec::SetPermQuotaW(const char* text) {
    return ParseInto(text, m_permQuota);
}
char* AllotrixBaseDbRec::GetOverDraftW(char* text) const {
    return FormatUnsigned(text, m_overDraft);
}
bool AllotrixBaseDbRec::SetOverDraftW(const char* text) {
    return ParseInto(text, m_overDraft);
}

void AllotrixBaseDbRec::SetFileOwner(const char* owner) {
    CopyText(m_fileOwner, owner);
}

char* AllotrixBaseDbRec::GetFileName(char* buffer) const {
    memcpy(buffer, m_fileName, strlen(m_fileName) + 1);
    return buffer;
}

void AllotrixBaseDbRec::SetObjectName(const char* device, const char* file) {
    CopyText(m_deviceName, device);
    CopyText(m_fileName, file);
    char mapped[kMappedNameSize];
    snprintf(mapped, sizeof mapped, "%s%s", m_deviceName, m_fileName[0] ? m_fileName : "\\");
    CopyText(m_mappedName, mapped);
}

void AllotrixActionRec::SetMessage(const char* text) {
    CopyText(m_message, text);
}
void AllotrixActionRec::SetServerName(const char* name) {
    CopyText(m_serverName, name);
}
void AllotrixActionRec::SetPolicyToExecute(const char* command) {
    CopyText(m_policyToExecute, command);
}

char* AllotrixActionRec::GetAdjustQuotaW(char* text) const {
    return FormatUnsigned(text, m_adjustQuota);
}
bool AllotrixActionRec::SetAdjustQuotaW(const char* text) {
    return ParseInto(text, m_adjustQuota);
}
char* AllotrixActionRec::GetRepeatW(char* text) const {
    return FormatUnsigned(text, m_repeat);
}
bool AllotrixActionRec::SetRepeatW(const char* text) {
    return ParseInto(text, m_repeat);
}
char* AllotrixActionRec::GetCurrentRepeatW(char* text) const {
    return FormatUnsigned(text, m_currentRepeat);
}

void AllotrixActionRec::SetReportSet(const char* name) {
    CopyText(ReportSet, name);
}

bool AllotrixBaseDbRec::HasTerminatedTexts() const {
    return Terminated(m_deviceName) && Terminated(m_fileName) && Terminated(m_mappedName) &&
           Terminated(m_fileOwner);
}

bool AllotrixActionRec::HasTerminatedTexts() const {
    const ReportMailInfo& mail = ReportMail;
    return Terminated(m_message) && Terminated(m_serverName) && Terminated(m_policyToExecute) &&
           Terminated(ReportSet) && Terminated(ScheduleJobTime) &&
           Terminated(mail.OutputDirectory) && Terminated(mail.MailTo) &&
           Terminated(mail.MailSubject) && Terminated(mail.MailCc) && Terminated(mail.Spare);
}

bool AllotrixDbRec::HasTerminatedTexts() const {
    if (!AllotrixBaseDbRec::HasTerminatedTexts())
        return false;
    for (const AllotrixActionRec& action : Actions)
        if (!action.HasTerminatedTexts())
            return false;
    return true;
}
