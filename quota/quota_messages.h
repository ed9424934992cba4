// Messages of the quota property sheet.
#pragma once

#include <windows.h>

namespace quota {

// Sent by the quota property sheet to its pages after a template was applied to the edited
// record: every page reloads its controls from the record. wParam and lParam are 0.
constexpr UINT WM_AXQUOTA_RELOAD = WM_APP + 116;

} // namespace quota
