// What the cells of the monitor grid show: sizes with their unit, the used percentage, the status
// icon, the colour of the percentage bars, the owner's text and picture, and the sort keys.
// Nothing here needs a window.
#pragma once

#include "client/records.h"
#include "monitor/columns.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace monitor {

// Size units: 1 KB = 1024 bytes.
enum SizeUnit : uint32_t { kUnitBytes = 0, kUnitKB = 1, kUnitMB = 2, kUnitGB = 3 };

// `value` bytes as text in `unit` or a smaller unit when the value would show below 0.1 of it,
// with the number grouped by thousands ("1,234,567B", "1.5KB", "50.0MB", "0B"). Returns false,
// leaving `text` as it was, when the unit is above GB.
bool FormatSize(uint64_t value, uint32_t unit, std::string& text);

// Used space in percent of the permanent quota, truncated; 0 without a permanent quota. It may
// exceed 100.
uint64_t UsedPercent(const AllotrixBaseDbRec& record);
// 100 minus the used percentage, 0 from 100 on.
uint32_t FreePercent(uint64_t usedPercent);

// Icon resources of the status column.
enum StatusIcon : int {
    kIconThreshold1 = 331,
    kIconThreshold2 = 333,
    kIconThreshold3 = 335,
    kIconThreshold4 = 337,
    kIconThreshold5 = 338,
    kIconScanning = 339, // AttrStatus40000000
    kIconNoThreshold = 340,
    kIconStatus100 = 344, // AttrStatus100
};

// The word for a status icon, for copying and finding: "Threshold 1" to "Threshold 5", "OK",
// "Scanning", "Waiting for scan"; empty for any other id.
const char* StatusWord(int iconId);

// The row's state in words, for the tool tip of its status and percentage cells: "Waiting for a
// scan", "Scanning", "Over quota: 150 %", "Threshold 1 (90 %) exceeded: 95 % used", or
// "45 % used, no threshold exceeded".
std::string StatusTip(const AllotrixBaseDbRec& record, uint64_t usedPercent);

// The status icon: a scan state first, else the first threshold the used percentage exceeds
// (strictly), else the plain flag. Thresholds stop at the first one set to 0.
StatusIcon GetStatusIcon(const AllotrixBaseDbRec& record, uint64_t usedPercent);

constexpr COLORREF kBarRed = RGB(255, 0, 0);
constexpr COLORREF kBarAmber = RGB(255, 200, 0);
constexpr COLORREF kBarGreen = RGB(0, 150, 0);

// The colour of a percentage bar: that of the first threshold the percentage reaches (at least),
// else red from 90 %, green below 60 %, amber between.
COLORREF GetBarColour(const AllotrixBaseDbRec& record, uint64_t percentage);

// The picture beside the owner's name in the User column.
enum class OwnerPicture { Rename, Default, GlobalGroup, GlobalGroupX, Group, GroupX, User, UserX };

// Whether the User column shows "Object (Absolute)" (the object's own quota) or the owner's name,
// and with which picture; the X variants mark a quota that is not enforced.
struct OwnerCell {
    bool isObject;
    OwnerPicture picture;
};
OwnerCell GetOwnerCell(const AllotrixBaseDbRec& record);

// A decimal number right-aligned in 20 characters, so that text order is numeric order.
std::string NumberSortKey(uint64_t value);

// The sort key of a cell of column `type` for a record of `server`. The Write Through and
// Enforce Quota columns sort by `cellText`, the text their cell shows.
std::string GetSortKey(uint32_t type, const std::string& server, const AllotrixBaseDbRec& record,
                       const std::string& cellText);

} // namespace monitor
