#include "services/axserver/filter_settings.h"

#include <windows.h>

namespace {

bool ReadDword(const char* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_LOCAL_MACHINE, kFilterParametersKey, name, RRF_RT_REG_DWORD, nullptr,
                        &value, &size) == ERROR_SUCCESS;
}

} // namespace

uint64_t MinimumLearnedQuota() {
    DWORD low = 0, high = 0;
    if (!ReadDword("MinPercentQuota", low))
        return 0;
    ReadDword("MinPercentQuotaHigh", high);
    return uint64_t{high} << 32 | low;
}
