// The filter driver's parameters that the quota service acts on, as the server settings page
// keeps them in "SYSTEM\CurrentControlSet\Services\AxFilter\Parameters".
#pragma once

#include <cstdint>

constexpr char kFilterParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\AxFilter\\Parameters";

// The smallest permanent quota that a quota set as a percentage of the current usage receives:
// "MinPercentQuota" (low 32 bits) and "MinPercentQuotaHigh" (high 32 bits). 0 when
// "MinPercentQuota" is missing, whatever "MinPercentQuotaHigh" holds.
uint64_t MinimumLearnedQuota();
