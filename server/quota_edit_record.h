// The editable quota record: a complete quota record followed by the template exclusion words.
// A template is read into one (each set exclusion bit says the template leaves that field alone),
// and the quota property sheet edits one.
#pragma once

#include "client/records.h"

#include <cstdint>

// Record-level exclusion bits (TemplateFlags).
enum TemplateFlag : uint32_t {
    TplWriteThrough = 0x1,
    TplNoEnforce = 0x4,
    TplExcludeFromAbsolute = 0x8,
    TplDiskFull = 0x10,
    TplPercentOfDevice = 0x20,
    TplUseDeviceSize = 0x80,
    TplPermQuota = 0x400, // the permanent quota and AttrPercentOfCurrentUsed
    TplOverdraft = 0x800,
    TplResetHighWater = 0x2000,
    TplBelow1 = 0x4000, // AttrBelow1; the bits of thresholds 2 to 5 follow
};

// The exclusion bit of threshold n's "trigger below" attribute (n = 1 to 5).
constexpr uint32_t TplBelow(int threshold) {
    return uint32_t{TplBelow1} << (threshold - 1);
}

// Action-level exclusion bits (TemplateActionFlags of one threshold).
enum TemplateActionFlag : uint32_t {
    TplActEventLog = 0x1, // event-log server, message level and PolSendToConsole
    TplActReportAged = 0x10,
    TplActReportLastAccess = 0x20,
    TplActReportNew = 0x40,
    TplActReportDuplicates = 0x80,
    TplActReportLarge = 0x100,
    TplActReportDirUsage = 0x200,
    TplActReportSummary = 0x400,
    TplActReportUsageByOwner = 0x800,
    TplActOutputDirectory = 0x1000,
    TplActReportFormat = 0x2000, // PolFormatComma, PolFormatHtml and PolFormatAscii
    TplActNotifyUser = 0x8000,
    TplActMessage = 0x10000,
    TplActPolicyToExecute = 0x20000,
    TplActAdjustQuota = 0x80000, // the adjustment and its repeat count
    TplActMailReport = 0x100000,
    TplActMailTo = 0x200000,
    TplActMailSubject = 0x400000,
    TplActMailCc = 0x800000,
    TplActMailProfile = 0x1000000,
    TplActMailPassword = 0x2000000,
    TplActThresholdValue = 0x4000000,
    TplActAbove = 0x8000000,
    TplActReportSet = 0x10000000,
    TplActSchedule = 0x20000000, // job time, both day masks, schedule flags and choice
};

class QuotaEditRecord : public AllotrixDbRec {
public:
    QuotaEditRecord() = default;

    bool IsTemplateFlagSet(uint32_t bit) const { return (TemplateFlags & bit) != 0; }
    void TurnTemplateFlagOn(uint32_t bit) { TemplateFlags |= bit; }
    void TurnTemplateFlagOff(uint32_t bit) { TemplateFlags &= ~bit; }

    // `threshold` is 1 to 5.
    bool IsTemplateActionFlagSet(int threshold, uint32_t bit) const {
        return (TemplateActionFlags[threshold - 1] & bit) != 0;
    }
    void TurnTemplateActionFlagOn(int threshold, uint32_t bit) {
        TemplateActionFlags[threshold - 1] |= bit;
    }
    void TurnTemplateActionFlagOff(int threshold, uint32_t bit) {
        TemplateActionFlags[threshold - 1] &= ~bit;
    }

    uint32_t TemplateFlags = 0;
    uint32_t TemplateActionFlags[kThresholdCount] = {}; // index 0 = threshold 1
    uint32_t EditMode = 0;                              // zero for every record the console edits
    uint32_t EditSubMode = 0;                           // likewise
};

static_assert(std::is_trivially_copyable_v<QuotaEditRecord>);
