// The user's column layout of the monitor grid, kept in the per-user profile (section
// "AXMonitor"): the shown columns in order ("ColsDisplayed"), each column's width in pixels
// (a value named after the column's key) and the size unit ("Bytes").
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace monitor {

constexpr const char kMonitorSection[] = "AXMonitor";
constexpr const char kColumnListValue[] = "ColsDisplayed";
constexpr const char kSizeUnitValue[] = "Bytes";
constexpr uint32_t kDefaultSizeUnit = 2; // MB

// The shown column codes left to right, a 0, then the codes not shown in ascending order.
constexpr size_t kColumnOrderSize = 13;
using ColumnCodes = std::array<uint32_t, kColumnOrderSize>;

// The list used when none is saved: every key followed by ";".
std::string DefaultColumnList(int serverKind);
// Reads a saved list ("Status;Server;", any case, last ";" optional) into column codes. Unknown
// and empty names are dropped, and "User" on a server of kind 3; names beyond the twelfth are
// ignored.
ColumnCodes ParseColumnList(std::string text, int serverKind);
// The text form of the shown codes, each key followed by ";".
std::string ColumnListText(const ColumnCodes& order);

struct ColumnLayout {
    uint32_t sizeUnit = kDefaultSizeUnit;
    ColumnCodes order{};
};

// Reads the size unit and the column list, or the defaults, from the profile.
ColumnLayout LoadColumnList(int serverKind);
// Writes the shown columns as "ColsDisplayed"; nothing is written when none is shown.
bool SaveColumnList(const ColumnCodes& order);

// The saved width in pixels of a column of type `type`, or `defaultWidth` when none is saved.
// A saved 0 reads as 1 pixel (2 for Enforce Quota).
int LoadColumnWidth(uint32_t type, int defaultWidth);
bool SaveColumnWidth(uint32_t type, int width);
bool SaveSizeUnit(uint32_t unit);

// The column type the rows were last sorted by, saved by its key ("SortColumn"), and the
// direction ("SortAscending"); type 0 when none is saved or the key names no column.
struct SortChoice {
    uint32_t columnType = 0;
    bool ascending = false;
};
SortChoice LoadSortChoice();
bool SaveSortChoice(const SortChoice& choice);

} // namespace monitor
