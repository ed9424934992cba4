#include "server/template_reader.h"

#include "base/resource_text.h"
#include "res/resource.h"
#include "server/server_registry.h"
#include "base/handles.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

// The largest data each kind of value may have, in bytes with the terminating zero.
constexpr DWORD kTextLimit = 260;
constexpr DWORD kLongTextLimit = 1024;
constexpr DWORD kWordLimit = 4;

// Copies `text` into a fixed field, cut to the field, zero-filled behind.
template <size_t N> void CopyField(char (&field)[N], const char* text) {
    size_t length = strnlen(text, N - 1);
    memcpy(field, text, length);
    memset(field + length, 0, N - length);
}

void SetAttribute(AllotrixBaseDbRec& record, eQuotaDriverAttributeFlags flag, bool on) {
    if (on)
        record.TurnAttributeOn(flag);
    else
        record.TurnAttributeOff(flag);
}

void SetPolicy(AllotrixActionRec& action, eQuotaPolicyAttributeFlags flag, bool on) {
    if (on)
        action.TurnPolicyFlagOn(flag);
    else
        action.TurnPolicyFlagOff(flag);
}

// Reads the values of one key, each with its own size limit, into a buffer that always ends in
// zeros, so that text data stored without its terminating zero still reads as a string.
class ValueReader {
public:
    explicit ValueReader(HKEY key) : m_key(key) {}

    // True when value `nameId` exists and its data is at most `limit` bytes.
    bool Read(UINT nameId, DWORD limit) {
        memset(m_data, 0, sizeof m_data);
        DWORD size = limit;
        std::string name = base::LoadText(nameId);
        return RegQueryValueExA(m_key, name.c_str(), nullptr, nullptr,
                                reinterpret_cast<BYTE*>(m_data), &size) == ERROR_SUCCESS;
    }

    // A yes-value: true for "Yes" in any letter case, false for any other text, nothing when
    // the value is missing or too large.
    std::optional<bool> ReadYes(UINT nameId) {
        if (!Read(nameId, kTextLimit))
            return std::nullopt;
        return Is(IDS_WORD_YES);
    }

    bool Is(UINT wordId) const { return lstrcmpiA(m_data, base::LoadText(wordId).c_str()) == 0; }
    const char* Text() const { return m_data; }
    const char* Bytes() const { return m_data; }
    uint8_t FirstByte() const { return static_cast<uint8_t>(m_data[0]); }
    uint32_t Word() const {
        uint32_t value;
        memcpy(&value, m_data, sizeof value);
        return value;
    }

private:
    HKEY m_key;
    char m_data[kLongTextLimit + 1];
};

struct YesAttribute {
    UINT nameId;
    eQuotaDriverAttributeFlags flag;
};

constexpr YesAttribute kQuotaYesValues[] = {
    {IDS_TEMPLATE_WRITE_THROUGH, AttrWriteThrough},
    {IDS_TEMPLATE_ENFORCE_QUOTA, AttrNoEnforce}, // stored inverted
    {IDS_TEMPLATE_EXCLUDE, AttrExcludeFromAbsolute},
    {IDS_TEMPLATE_DISK_FULL, AttrDiskFull},
    {IDS_TEMPLATE_RESET_HIGHWATER, AttrResetHighWater},
    {IDS_TEMPLATE_PERCENT_OF_CURRENT_USED, AttrPercentOfCurrentUsed},
    {IDS_TEMPLATE_PERCENT_OF_DEVICE, AttrPercentOfDevice},
    {IDS_TEMPLATE_USE_DEVICE_SIZE, AttrUseDeviceSize},
};

struct YesPolicy {
    UINT nameId;
    eQuotaPolicyAttributeFlags flag;
};

constexpr YesPolicy kReportYesValues[] = {
    {IDS_TEMPLATE_AGED, PolReportAged},
    {IDS_TEMPLATE_DIR_USAGE, PolReportDirUsage},
    {IDS_TEMPLATE_DUPLICATES, PolReportDuplicates},
    {IDS_TEMPLATE_LARGE, PolReportLarge},
    {IDS_TEMPLATE_LAST_ACCESS, PolReportLastAccess},
    {IDS_TEMPLATE_NEW, PolReportNew},
    {IDS_TEMPLATE_USAGE_BY_OWNER, PolReportUsageByOwner},
    {IDS_TEMPLATE_SUMMARY, PolReportSummary},
};

void ReadQuotaValues(HKEY key, QuotaEditRecord& record) {
    ValueReader values(key);
    if (values.Read(IDS_TEMPLATE_PERM_QUOTA, kTextLimit))
        record.SetPermQuotaW(values.Text());
    if (values.Read(IDS_TEMPLATE_OVERDRAFT, kTextLimit))
        record.SetOverDraftW(values.Text());
    for (const YesAttribute& value : kQuotaYesValues) {
        std::optional<bool> yes = values.ReadYes(value.nameId);
        if (!yes)
            continue;
        bool inverted = value.flag == AttrNoEnforce;
        SetAttribute(record, value.flag, *yes != inverted);
    }
}

void ReadMessageValues(ValueReader& values, AllotrixActionRec& action) {
    if (values.Read(IDS_TEMPLATE_MESSAGE, kLongTextLimit))
        action.SetMessage(values.Text());
    if (std::optional<bool> yes = values.ReadYes(IDS_TEMPLATE_SEND))
        SetPolicy(action, PolNotifyUser, *yes);
    if (std::optional<bool> yes = values.ReadYes(IDS_TEMPLATE_SEND_TO_CONSOLE))
        SetPolicy(action, PolSendToConsole, *yes);
    if (values.Read(IDS_TEMPLATE_ERROR, kTextLimit)) {
        if (values.Is(IDS_WORD_INFORMATIONAL))
            action.TurnPolicyFlagOn(PolInformational);
        else if (values.Is(IDS_WORD_WARNING))
            action.TurnPolicyFlagOn(PolWarning);
        else
            action.TurnPolicyFlagOn(PolSevere);
    }
    if (values.Read(IDS_TEMPLATE_SERVER, kTextLimit))
        action.SetServerName(values.Text());
}

void ReadMailValues(ValueReader& values, ReportMailInfo& mail) {
    // Profile and password are kept in their stored, scrambled form.
    if (values.Read(IDS_TEMPLATE_PROFILE, kMailSecretSize))
        memcpy(mail.MailProfile, values.Bytes(), kMailSecretSize);
    if (values.Read(IDS_TEMPLATE_PASSWORD, kMailSecretSize))
        memcpy(mail.MailPassword, values.Bytes(), kMailSecretSize);
    if (values.Read(IDS_TEMPLATE_USER, kMailTextSize))
        CopyField(mail.MailTo, values.Text());
    if (values.Read(IDS_TEMPLATE_CC, kMailTextSize))
        CopyField(mail.MailCc, values.Text());
    if (values.Read(IDS_TEMPLATE_SUBJECT, kMailTextSize))
        CopyField(mail.MailSubject, values.Text());
}

void ReadReportValues(ValueReader& values, AllotrixActionRec& action) {
    for (const YesPolicy& value : kReportYesValues)
        if (std::optional<bool> yes = values.ReadYes(value.nameId))
            SetPolicy(action, value.flag, *yes);
    if (values.Read(IDS_TEMPLATE_OUTPUT_DIR, kTextLimit))
        CopyField(action.ReportMail.OutputDirectory, values.Text());
    if (values.Read(IDS_TEMPLATE_FORMAT, kTextLimit)) {
        if (values.Is(IDS_WORD_COMMA))
            action.TurnPolicyFlagOn(PolFormatComma);
        else if (values.Is(IDS_WORD_HTML))
            action.TurnPolicyFlagOn(PolFormatHtml);
        else
            action.TurnPolicyFlagOn(PolFormatAscii);
    }
    if (std::optional<bool> yes = values.ReadYes(IDS_TEMPLATE_MAIL_REPORT))
        SetPolicy(action, PolMailReport, *yes);
}

void ReadScheduleValues(ValueReader& values, AllotrixActionRec& action) {
    if (values.Read(IDS_TEMPLATE_REPORT_SET, kTextLimit))
        action.SetReportSet(values.Text());
    if (values.Read(IDS_TEMPLATE_SCHEDULE_JOB_TIME, kTextLimit))
        CopyField(action.ScheduleJobTime, values.Text());
    if (values.Read(IDS_TEMPLATE_SCHEDULE_DAYS_OF_MONTH, kTextLimit))
        action.DaysOfMonth = values.Word();
    if (values.Read(IDS_TEMPLATE_SCHEDULE_DAYS_OF_WEEK, kTextLimit))
        action.DaysOfWeek = values.FirstByte();
    if (values.Read(IDS_TEMPLATE_SCHEDULE_FLAGS, kTextLimit))
        action.ScheduleFlags = values.FirstByte();
    if (values.Read(IDS_TEMPLATE_COMBO_BOX_INDEX, kTextLimit))
        action.ScheduleChoice = values.FirstByte();
}

void ReadThresholdValues(HKEY key, int threshold, QuotaEditRecord& record) {
    ValueReader values(key);
    AllotrixActionRec& action = record.Actions[threshold - 1];
    if (values.Read(IDS_TEMPLATE_THRESHOLD, kTextLimit))
        record.SetThreshPercent(threshold, values.FirstByte());
    if (values.Read(IDS_TEMPLATE_ACTION_FLAGS, kWordLimit))
        record.TemplateActionFlags[threshold - 1] = values.Word();
    if (std::optional<bool> yes = values.ReadYes(IDS_TEMPLATE_THRESHOLD_ABOVE))
        SetPolicy(action, PolAbove, *yes);
    if (std::optional<bool> yes = values.ReadYes(IDS_TEMPLATE_THRESHOLD_BELOW))
        SetAttribute(record, AttrBelow(threshold), *yes);
    ReadMessageValues(values, action);
    ReadMailValues(values, action.ReportMail);
    if (values.Read(IDS_TEMPLATE_POLICY, kLongTextLimit))
        action.SetPolicyToExecute(values.Text());
    if (values.Read(IDS_TEMPLATE_ADJUST_QUOTA, kTextLimit))
        action.SetAdjustQuotaW(values.Text());
    if (values.Read(IDS_TEMPLATE_AUTO_ADJUST_REPEAT, kTextLimit))
        action.SetRepeatW(values.Text());
    ReadReportValues(values, action);
    ReadScheduleValues(values, action);
}

std::string ThresholdKeyName(int threshold) {
    char name[32];
    snprintf(name, sizeof name, base::LoadText(IDS_TEMPLATE_THRESHOLD_KEY_FORMAT).c_str(),
             threshold);
    return name;
}

std::string TemplateKeyPath(const char* name, bool fallback) {
    if (fallback)
        return base::LoadText(IDS_FALLBACK_PARENT_KEY) + "\\" + name;
    return base::LoadFormattedText(IDS_TEMPLATE_KEY_FORMAT, {name});
}

} // namespace

bool IsFallbackTemplateName(const char* name) {
    return lstrcmpiA(name, base::LoadText(IDS_USER_FALLBACK).c_str()) == 0 ||
           lstrcmpiA(name, base::LoadText(IDS_DIRECTORY_FALLBACK).c_str()) == 0;
}

LONG ReadTemplate(const char* server, const char* name, char* association, QuotaEditRecord& record,
                  bool fallback) {
    ServerRegistry registry;
    if (LONG status = registry.Connect(server))
        return status;
    base::UniqueKey templateKey;
    std::string path = TemplateKeyPath(name, fallback);
    if (LONG status =
            RegOpenKeyExA(registry.Get(), path.c_str(), 0, KEY_QUERY_VALUE, templateKey.Put()))
        return status;

    ValueReader values(templateKey.Get());
    if (values.Read(IDS_TEMPLATE_ASSOCIATION, kTextLimit) && association)
        memcpy(association, values.Text(), strlen(values.Text()) + 1);
    if (values.Read(IDS_TEMPLATE_FLAGS, kWordLimit))
        record.TemplateFlags = values.Word();

    base::UniqueKey quotaKey;
    std::string quotaName = base::LoadText(IDS_TEMPLATE_QUOTA_KEY);
    if (RegOpenKeyExA(templateKey.Get(), quotaName.c_str(), 0, KEY_QUERY_VALUE, quotaKey.Put()) ==
        ERROR_SUCCESS)
        ReadQuotaValues(quotaKey.Get(), record);

    for (int threshold = 1; threshold <= static_cast<int>(kThresholdCount); ++threshold) {
        base::UniqueKey thresholdKey;
        std::string keyName = ThresholdKeyName(threshold);
        if (RegOpenKeyExA(templateKey.Get(), keyName.c_str(), 0, KEY_QUERY_VALUE,
                          thresholdKey.Put()) == ERROR_SUCCESS)
            ReadThresholdValues(thresholdKey.Get(), threshold, record);
    }
    return ERROR_SUCCESS;
}
