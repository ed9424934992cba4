// String resources the monitor shows.
#pragma once

#include <windows.h>

namespace monitor {

constexpr UINT kIdsAppTitle = 57344;
constexpr UINT kIdsNotEnoughMemory = 63612;
constexpr UINT kIdsUnableToRetrieve = 63656;
constexpr UINT kIdsMonitorTitle = 63737;

} // namespace monitor
