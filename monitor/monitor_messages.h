// Private window messages of the quota monitor.
#pragma once

#include "server/connection_message.h"

#include <windows.h>

// Posted by the refresh thread to the monitor view after each completed refresh cycle.
constexpr UINT WM_AXMON_REFRESHED = WM_APP + 111;
