#include "app/window_placement.h"

#include "monitor/column_layout.h"
#include "ui/profile.h"

#include <cstdio>

namespace {
constexpr char kPlacementValue[] = "WindowPlacement"; // "left,top,right,bottom,maximised"
} // namespace

bool RestoreWindowPlacement(HWND window) {
    const std::string text = ui::Profile::GetString(monitor::kMonitorSection, kPlacementValue, "");
    RECT rect{};
    int maximised = 0;
    if (std::sscanf(text.c_str(), "%ld,%ld,%ld,%ld,%d", &rect.left, &rect.top, &rect.right,
                    &rect.bottom, &maximised) != 5 ||
        rect.right - rect.left < 100 || rect.bottom - rect.top < 100 ||
        !MonitorFromRect(&rect, MONITOR_DEFAULTTONULL))
        return false;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    placement.rcNormalPosition = rect;
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(window, &placement);
    return maximised != 0;
}

bool SaveWindowPlacement(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement))
        return false;
    const RECT& rect = placement.rcNormalPosition;
    // A window hidden while maximised keeps the maximised style.
    const bool maximised = placement.showCmd == SW_SHOWMAXIMIZED ||
                           (GetWindowLongA(window, GWL_STYLE) & WS_MAXIMIZE) != 0;
    char text[96];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld,%d", rect.left, rect.top, rect.right,
                  rect.bottom, maximised ? 1 : 0);
    return ui::Profile::WriteString(monitor::kMonitorSection, kPlacementValue, text);
}
