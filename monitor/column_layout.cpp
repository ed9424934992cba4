#include "monitor/column_layout.h"

#include "client/axcli.h"
#include "monitor/columns.h"
#include "ui/profile.h"

#include <windows.h>

#include <algorithm>

namespace monitor {

namespace {

// The order in which a saved name is matched against the keys.
constexpr uint32_t kMatchOrder[] = {
    kColStatus,    kColUsedPercent, kColFreePercent, kColServer,    kColObjectName,   kColUser,
    kColSpaceUsed, kColHighWater,   kColCapacity,    kColOverdraft, kColWriteThrough, kColEnforce};

constexpr uint32_t kDefaultColumns[] = {kColStatus, kColUsedPercent, kColServer,   kColObjectName,
                                        kColUser,   kColSpaceUsed,   kColCapacity, kColHighWater};
constexpr uint32_t kDefaultMonitorOnlyColumns[] = {kColStatus, kColUsedPercent, kColServer,
                                                   kColObjectName, kColSpaceUsed};

constexpr size_t kMaxShownColumns = kColumnOrderSize - 1;

uint32_t MatchKey(const std::string& piece) {
    for (uint32_t type : kMatchOrder) {
        if (lstrcmpiA(piece.c_str(), GetColumnInfo(type).key) == 0)
            return type;
    }
    return kColNone;
}

template <size_t N> std::string KeyList(const uint32_t (&types)[N]) {
    std::string text;
    for (uint32_t type : types)
        text.append(GetColumnInfo(type).key).append(";");
    return text;
}

} // namespace

std::string DefaultColumnList(int serverKind) {
    return serverKind == kServerKindMonitorOnly ? KeyList(kDefaultMonitorOnlyColumns)
                                                : KeyList(kDefaultColumns);
}

ColumnCodes ParseColumnList(std::string text, int serverKind) {
    ColumnCodes order{};
    size_t count = 0;
    if (!text.empty() && text.back() != ';')
        text += ';';
    size_t start = 0;
    for (size_t end = text.find(';'); end != std::string::npos && count < kMaxShownColumns;
         start = end + 1, end = text.find(';', start)) {
        const uint32_t type = MatchKey(text.substr(start, end - start));
        if (type == kColNone || (type == kColUser && serverKind == kServerKindMonitorOnly))
            continue;
        order[count++] = type;
    }
    const size_t shown = count;
    order[count++] = kColNone;
    for (uint32_t type = kColStatus; type <= kColServer && count < kColumnOrderSize; ++type) {
        if (std::find(order.begin(), order.begin() + shown, type) == order.begin() + shown)
            order[count++] = type;
    }
    return order;
}

std::string ColumnListText(const ColumnCodes& order) {
    std::string text;
    for (uint32_t type : order) {
        if (type == kColNone)
            break;
        text.append(GetColumnInfo(type).key).append(";");
    }
    return text;
}

ColumnLayout LoadColumnList(int serverKind) {
    ColumnLayout layout;
    layout.sizeUnit = ui::Profile::GetInt(kMonitorSection, kSizeUnitValue, kDefaultSizeUnit);
    std::string text = ui::Profile::GetString(kMonitorSection, kColumnListValue, "");
    if (text.empty())
        text = DefaultColumnList(serverKind);
    layout.order = ParseColumnList(std::move(text), serverKind);
    return layout;
}

bool SaveColumnList(const ColumnCodes& order) {
    const std::string text = ColumnListText(order);
    if (text.empty())
        return false;
    return ui::Profile::WriteString(kMonitorSection, kColumnListValue, text);
}

// The Capacity column's width is saved and read under its list key "PermQuota", so that the width
// a user set comes back on the next start.
int LoadColumnWidth(uint32_t type, int defaultWidth) {
    constexpr UINT kMissing = 0xFFFFFFFF;
    const UINT saved = ui::Profile::GetInt(kMonitorSection, GetColumnInfo(type).key, kMissing);
    if (saved == kMissing)
        return defaultWidth;
    if (saved == 0)
        return type == kColEnforce ? 2 : 1;
    return static_cast<int>(saved);
}

bool SaveColumnWidth(uint32_t type, int width) {
    return ui::Profile::WriteInt(kMonitorSection, GetColumnInfo(type).key,
                                 static_cast<UINT>(std::max(width, 0)));
}

bool SaveSizeUnit(uint32_t unit) {
    return ui::Profile::WriteInt(kMonitorSection, kSizeUnitValue, unit);
}

namespace {
constexpr char kSortColumnValue[] = "SortColumn";
constexpr char kSortAscendingValue[] = "SortAscending";
} // namespace

SortChoice LoadSortChoice() {
    SortChoice choice;
    const std::string key = ui::Profile::GetString(kMonitorSection, kSortColumnValue, "");
    for (uint32_t type = kColStatus; type <= kColServer; ++type) {
        if (lstrcmpiA(key.c_str(), GetColumnInfo(type).key) == 0)
            choice.columnType = type;
    }
    choice.ascending = ui::Profile::GetInt(kMonitorSection, kSortAscendingValue, 0) != 0;
    return choice;
}

bool SaveSortChoice(const SortChoice& choice) {
    if (choice.columnType < kColStatus || choice.columnType > kColServer)
        return false;
    return ui::Profile::WriteString(kMonitorSection, kSortColumnValue,
                                    GetColumnInfo(choice.columnType).key) &&
           ui::Profile::WriteInt(kMonitorSection, kSortAscendingValue, choice.ascending ? 1 : 0);
}

} // namespace monitor
