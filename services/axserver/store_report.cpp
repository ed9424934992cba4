#include "services/axserver/store_report.h"

#include "services/axserver/server_settings.h"
#include "base/handles.h"
#include "services/common/event_log.h"

#include <cstdio>

namespace {

constexpr char kReportValue[] = "LastStoreRecovery";

std::string Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
    return text;
}

void Tell(WORD type, const std::string& text) {
    EventLog(kQuotaServiceName, "").Write(type, text);
    std::string kept = Now() + ": " + text;
    base::UniqueKey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParametersKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.Put(), nullptr) == ERROR_SUCCESS)
        RegSetValueExA(key.Get(), kReportValue, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(kept.c_str()),
                       static_cast<DWORD>(kept.size() + 1));
}

} // namespace

void ReportStoreRecovery(const std::string& folder, const StoreRecovery& recovery) {
    std::string description = DescribeRecovery(recovery);
    if (!description.empty())
        Tell(EVENTLOG_WARNING_TYPE, "The record store in " + folder +
                                        " was damaged and has been recovered.\n" + description);
}

void ReportStoreWarning(const std::string& text) {
    Tell(EVENTLOG_WARNING_TYPE, text);
}

void ReportStoreFailure(const std::string& folder, DWORD error, const std::string& problem) {
    std::string text = "The record store in " + folder + " could not be opened (error " +
                       std::to_string(error) + ")";
    Tell(EVENTLOG_ERROR_TYPE, problem.empty() ? text + "." : text + ": " + problem + ".");
}

std::string LastStoreReport() {
    char text[4096] = {};
    DWORD size = sizeof text - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kParametersKey, kReportValue, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS)
        return {};
    return text;
}
