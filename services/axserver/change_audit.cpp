#include "services/axserver/change_audit.h"

#include "services/axserver/server_settings.h"
#include "services/common/event_log.h"

#include <cinttypes>
#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<EventLog> g_audit;

std::string QuotaName(const std::string& object, const std::string& owner) {
    return owner.empty() ? "the quota of " + object : "the quota of " + owner + " in " + object;
}

} // namespace

void StartChangeAudit(const std::string& storeFolder) {
    if (AuditingSwitchOn("ServerAuditing"))
        g_audit = std::make_unique<EventLog>(kQuotaServiceName, storeFolder + "\\AXServer.log");
    else
        g_audit.reset();
}

void AuditQuotaSaved(const AllotrixDbRec& record) {
    if (!g_audit)
        return;
    char text[256];
    snprintf(text, sizeof text,
             ": permanent quota %" PRIu64 " bytes, overdraft %" PRIu64
             " bytes, thresholds %u/%u/%u/%u/%u%%, attributes 0x%" PRIx32 ".",
             record.GetPermQuota(), record.GetOverDraft(), record.GetThreshPercent1(),
             record.GetThreshPercent2(), record.GetThreshPercent3(), record.GetThreshPercent4(),
             record.GetThreshPercent5(), record.GetAttributes());
    g_audit->Write(EVENTLOG_INFORMATION_TYPE,
                   "Saved " + QuotaName(record.GetMappedName(1), record.GetFileOwner()) + text);
}

void AuditQuotaDeleted(const std::string& device, const std::string& file,
                       const std::string& owner) {
    if (g_audit)
        g_audit->Write(EVENTLOG_INFORMATION_TYPE,
                       "Deleted " + QuotaName(device + file, owner) + ".");
}
