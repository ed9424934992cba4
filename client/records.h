// Quota, action and directory-entry records exchanged with the quota service.
// They are plain fixed-size structures of fixed-width fields, copied byte for byte between the
// service, the client library and the console; nothing here depends on Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

enum eQuotaDriverAttributeFlags : uint32_t {
    AttrWriteThrough = 0x1,
    AttrAbsolute = 0x2,
    AttrNoEnforce = 0x4,
    AttrGroupOwner = 0x8,
    AttrGlobalGroupOwner = 0x20,
    AttrRenamed = 0x40,
    AttrExcludeFromAbsolute = 0x80,
    AttrStatus100 = 0x100,
    AttrDiskFull = 0x200,
    AttrPercentOfDevice = 0x4000,
    AttrPercentOfCurrentUsed = 0x8000,
    AttrUseDeviceSize = 0x20000,
    AttrUnlisted40000 = 0x40000,
    AttrUnlisted80000 = 0x80000,
    AttrResetHighWater = 0x200000,
    AttrBelow1 = 0x400000,
    AttrBelow2 = 0x800000,
    AttrBelow3 = 0x1000000,
    AttrBelow4 = 0x2000000,
    AttrBelow5 = 0x4000000,
    AttrStatus40000000 = 0x40000000,
};

// The two bits the quota service sets while a record waits for its scan or is being scanned.
constexpr uint32_t kAttrScanStatusBits = AttrStatus100 | AttrStatus40000000;

// The "trigger below" bit of threshold n (1 to 5).
constexpr eQuotaDriverAttributeFlags AttrBelow(int threshold) {
    return static_cast<eQuotaDriverAttributeFlags>(uint32_t{AttrBelow1} << (threshold - 1));
}

enum eQuotaPolicyAttributeFlags : uint32_t {
    PolSendToConsole = 0x1,
    PolSevere = 0x2,
    PolWarning = 0x4,
    PolInformational = 0x8,
    PolReportAged = 0x10,
    PolReportLastAccess = 0x20,
    PolReportNew = 0x40,
    PolReportDuplicates = 0x80,
    PolReportLarge = 0x100,
    PolReportDirUsage = 0x200,
    PolReportSummary = 0x400,
    PolReportUsageByOwner = 0x800,
    PolFormatHtml = 0x1000,
    PolFormatComma = 0x2000,
    PolFormatAscii = 0x4000,
    PolMailReport = 0x8000,
    PolNotifyUser = 0x10000,
    PolAbove = 0x20000,
    PolSnmpTrap = 0x40000,
};

// Field sizes, each including the terminating zero.
constexpr size_t kDeviceNameSize = 64;
constexpr size_t kFileNameSize = 260;
constexpr size_t kMappedNameSize = kDeviceNameSize + kFileNameSize;
constexpr size_t kOwnerNameSize = 260;
constexpr size_t kMessageSize = 1024;
constexpr size_t kServerNameSize = 260;
constexpr size_t kPolicyToExecuteSize = 1024;
constexpr size_t kReportSetSize = 40;
constexpr size_t kScheduleTimeSize = 24;
constexpr size_t kMailTextSize = 257;
constexpr size_t kMailSecretSize = 81;
constexpr size_t kThresholdCount = 5;

// The text form of a number: a buffer of this size holds any value's text.
constexpr size_t kNumberTextSize = 24;

// Mail profile and password are kept scrambled: each stored byte is the clear byte rotated
// right by 5 bits; rotating a stored byte right by 3 bits restores it.
constexpr uint8_t ScrambleByte(uint8_t clear) {
    return static_cast<uint8_t>((clear >> 5) | (clear << 3));
}
constexpr uint8_t UnscrambleByte(uint8_t stored) {
    return static_cast<uint8_t>((stored >> 3) | (stored << 5));
}

// Writes the scrambled form of exactly kMailSecretSize bytes of `clear` into `stored`.
void ScrambleMailSecret(char* stored, const char* clear);
// Writes the clear form of the first `count` bytes of `stored` into `clear`.
void UnscrambleMailSecret(char* clear, const char* stored, size_t count);

// Counts the ";"-separated names of a recipient list after stripping trailing ";" and blanks
// from it in place; an empty list counts 0.
uint32_t CountRecipients(char* list);

struct ReportMailInfo {
    char OutputDirectory[kMailTextSize] = {};
    char MailTo[kMailTextSize] = {};
    char MailSubject[kMailTextSize] = {};
    char MailCc[kMailTextSize] = {};
    char Spare[kMailTextSize] = {};
    char MailProfile[kMailSecretSize] = {};  // stored scrambled
    char MailPassword[kMailSecretSize] = {}; // stored scrambled
    uint32_t ToCount = {};
    uint32_t CcCount = {};

    ReportMailInfo() = default;

    // Store the clear text (at most 80 characters, padded with zeros) in scrambled form.
    void SetMailProfile(const char* clear);
    void SetMailPassword(const char* clear);
    // Write the clear form of the first `count` stored bytes (at most 81) into `clear`.
    void GetMailProfile(char* clear, size_t count = kMailSecretSize) const;
    void GetMailPassword(char* clear, size_t count = kMailSecretSize) const;

    // Recounts both recipient lists (stripping their trailing separators).
    void CountRecipients();
};

class AllotrixBaseDbRec {
public:
    AllotrixBaseDbRec() = default;

    uint64_t GetPermQuota() const { return m_permQuota; }
    void SetPermQuota(uint64_t value) { m_permQuota = value; }
    char* GetPermQuotaW(char* text) const;
    bool SetPermQuotaW(const char* text);

    uint64_t GetOverDraft() const { return m_overDraft; }
    void SetOverDraft(uint64_t value) { m_overDraft = value; }
    char* GetOverDraftW(char* text) const;
    bool SetOverDraftW(const char* text);

    uint64_t GetUsedQuota() const { return m_usedQuota; }
    void SetUsedQuota(uint64_t value) { m_usedQuota = value; }
    uint64_t GetHighWaterMark() const { return m_highWaterMark; }
    void SetHighWaterMark(uint64_t value) { m_highWaterMark = value; }

    uint8_t GetThreshPercent(int threshold) const { return m_thresholds[threshold - 1]; }
    void SetThreshPercent(int threshold, uint8_t value) { m_thresholds[threshold - 1] = value; }
    uint8_t GetThreshPercent1() const { return m_thresholds[0]; }
    uint8_t GetThreshPercent2() const { return m_thresholds[1]; }
    uint8_t GetThreshPercent3() const { return m_thresholds[2]; }
    uint8_t GetThreshPercent4() const { return m_thresholds[3]; }
    uint8_t GetThreshPercent5() const { return m_thresholds[4]; }
    void SetThreshPercent1(uint8_t value) { m_thresholds[0] = value; }
    void SetThreshPercent2(uint8_t value) { m_thresholds[1] = value; }
    void SetThreshPercent3(uint8_t value) { m_thresholds[2] = value; }
    void SetThreshPercent4(uint8_t value) { m_thresholds[3] = value; }
    void SetThreshPercent5(uint8_t value) { m_thresholds[4] = value; }

    int IsAttributeSet(eQuotaDriverAttributeFlags flag) const { return (m_attributes & flag) != 0; }
    void TurnAttributeOn(eQuotaDriverAttributeFlags flag) { m_attributes |= flag; }
    void TurnAttributeOff(eQuotaDriverAttributeFlags flag) { m_attributes &= ~uint32_t{flag}; }
    uint32_t GetAttributes() const { return m_attributes; }
    void SetAttributes(uint32_t attributes) { m_attributes = attributes; }

    // The object's name as the user sees it: device and directory path, such as "C:\Data".
    char* GetMappedName(int) { return m_mappedName; }
    const char* GetMappedName(int) const { return m_mappedName; }
    char* GetFileOwner() { return m_fileOwner; }
    const char* GetFileOwner() const { return m_fileOwner; }
    void SetFileOwner(const char* owner);
    char* GetDeviceName() { return m_deviceName; }
    const char* GetDeviceName() const { return m_deviceName; }
    char* GetFileName(char* buffer) const;
    // Sets the object from a device ("C:") and a directory path on it ("\Data", or "\" for the
    // device's root); either is cut to its field.
    void SetObjectName(const char* device, const char* file);

    // True when every text field ends with a zero inside its array (a record read from outside).
    bool HasTerminatedTexts() const;

private:
    char m_deviceName[kDeviceNameSize] = {};
    char m_fileName[kFileNameSize] = {};
    char m_mappedName[kMappedNameSize] = {};
    char m_fileOwner[kOwnerNameSize] = {};
    uint64_t m_permQuota = {};
    uint64_t m_overDraft = {};
    uint64_t m_usedQuota = {};
    uint64_t m_highWaterMark = {};
    uint32_t m_attributes = {};
    uint8_t m_thresholds[kThresholdCount] = {};
};

class AllotrixActionRec {
public:
    AllotrixActionRec() = default;

    int IsPolicyFlagSet(eQuotaPolicyAttributeFlags flag) const { return (m_policy & flag) != 0; }
    void TurnPolicyFlagOn(eQuotaPolicyAttributeFlags flag) { m_policy |= flag; }
    void TurnPolicyFlagOff(eQuotaPolicyAttributeFlags flag) { m_policy &= ~uint32_t{flag}; }
    uint32_t GetPolicyFlags() const { return m_policy; }
    void SetPolicyFlags(uint32_t flags) { m_policy = flags; }

    const char* GetMessageA() const { return m_message; }
    void SetMessage(const char* text);
    const char* GetServerName() const { return m_serverName; }
    void SetServerName(const char* name);
    const char* GetPolicyToExecute() const { return m_policyToExecute; }
    void SetPolicyToExecute(const char* command);

    uint64_t GetAdjustQuota() const { return m_adjustQuota; }
    void SetAdjustQuota(uint64_t bytes) { m_adjustQuota = bytes; }
    char* GetAdjustQuotaW(char* text) const;
    bool SetAdjustQuotaW(const char* text);

    uint32_t GetRepeat() const { return m_repeat; }
    void SetRepeat(uint32_t count) { m_repeat = count; }
    char* GetRepeatW(char* text) const;
    bool SetRepeatW(const char* text);

    uint32_t GetCurrentRepeat() const { return m_currentRepeat; }
    char* GetCurrentRepeatW(char* text) const;
    void SetCurrentRepeat(uint32_t count) { m_currentRepeat = count; }

    void SetReportSet(const char* name);

    // True when every text field, public ones included, ends with a zero inside its array.
    bool HasTerminatedTexts() const;

private:
    uint32_t m_policy = {};
    char m_message[kMessageSize] = {};
    char m_serverName[kServerNameSize] = {};
    char m_policyToExecute[kPolicyToExecuteSize] = {};
    uint64_t m_adjustQuota = {};
    uint32_t m_repeat = {};
    uint32_t m_currentRepeat = {};

public:
    char ReportSet[kReportSetSize] = {};
    char ScheduleJobTime[kScheduleTimeSize] = {};
    uint32_t DaysOfMonth = {}; // bit i = day i+1
    uint8_t DaysOfWeek = {};   // bit 0 = Monday ... bit 6 = Sunday
    uint8_t ScheduleFlags = {};
    uint8_t ScheduleChoice = {}; // 0 immediately, 1 today, 2 tomorrow, 3 next
    ReportMailInfo ReportMail = {};
};

class AllotrixDbRec : public AllotrixBaseDbRec {
public:
    AllotrixDbRec() = default;

    uint32_t GetRecordId() const { return m_recordId; }
    void SetRecordId(uint32_t id) { m_recordId = id; }

    // True when the texts of the record and of its five actions are all terminated.
    bool HasTerminatedTexts() const;

private:
    uint32_t m_recordId = {};

public:
    AllotrixActionRec Actions[kThresholdCount] = {}; // index 0 to 4 for thresholds 1 to 5
};

struct AXServerCommunicationFileRec {
    uint32_t Reserved1 = {};
    uint32_t Reserved2 = {};
    char Name[kFileNameSize] = {};
    uint32_t IsFolder = {}; // non-zero: a directory
    uint32_t Reserved3 = {};
};

static_assert(std::is_trivially_copyable_v<ReportMailInfo>);
static_assert(std::is_trivially_copyable_v<AllotrixBaseDbRec>);
static_assert(std::is_trivially_copyable_v<AllotrixActionRec>);
static_assert(std::is_trivially_copyable_v<AllotrixDbRec>);
static_assert(std::is_trivially_copyable_v<AXServerCommunicationFileRec>);
static_assert(std::is_standard_layout_v<AXServerCommunicationFileRec>);
static_assert(sizeof(AXServerCommunicationFileRec) == 4 * 4 + kFileNameSize);
