#include "tools/axquota_format.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string FormatBytes(uint64_t bytes) {
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 6) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    snprintf(text, sizeof text,
             value < 10    ? "%.2f %s"
             : value < 100 ? "%.1f %s"
                           : "%.0f %s",
             value, units[unit]);
    return text;
}

bool ParseBytes(const std::string& text, uint64_t& bytes) {
    const char* start = text.c_str();
    while (*start == ' ')
        ++start;
    if (!std::isdigit(static_cast<unsigned char>(*start)) && *start != '.')
        return false;
    errno = 0;
    char* end = nullptr;
    double number = strtod(start, &end);
    if (errno == ERANGE || end == start)
        return false;
    while (*end == ' ')
        ++end;
    std::string unit;
    for (; *end && *end != ' '; ++end)
        unit += static_cast<char>(std::toupper(static_cast<unsigned char>(*end)));
    while (*end == ' ')
        ++end;
    if (*end)
        return false;
    if (!unit.empty() && unit.back() == 'B' && unit.size() > 1)
        unit.pop_back();
    static const char units[] = "BKMGTP";
    const char* found = unit.empty() ? units : strchr(units, unit[0]);
    if (!found || unit.size() > 1)
        return false;
    double scaled = std::ldexp(number, 10 * static_cast<int>(found - units));
    if (scaled >= 18446744073709551616.0 || std::floor(scaled) != scaled)
        return false;
    bytes = static_cast<uint64_t>(scaled);
    return true;
}

bool ParseThresholds(const std::string& text, uint8_t (&values)[kThresholdCount], int& count) {
    count = 0;
    const char* cursor = text.c_str();
    while (*cursor) {
        if (count == static_cast<int>(kThresholdCount) ||
            !std::isdigit(static_cast<unsigned char>(*cursor)))
            return false;
        char* end = nullptr;
        unsigned long value = strtoul(cursor, &end, 10);
        if (value > 255 || (*end && *end != ','))
            return false;
        values[count++] = static_cast<uint8_t>(value);
        cursor = *end ? end + 1 : end;
        if (*end && !*cursor)
            return false;
    }
    return count > 0;
}

int PercentUsed(const AllotrixBaseDbRec& record) {
    if (record.IsAttributeSet(AttrPercentOfDevice) ||
        record.IsAttributeSet(AttrPercentOfCurrentUsed) || record.GetPermQuota() == 0)
        return -1;
    return static_cast<int>(record.GetUsedQuota() * 100 / record.GetPermQuota());
}

std::string QuotaState(const AllotrixBaseDbRec& record) {
    if (record.IsAttributeSet(AttrStatus40000000))
        return "scan pending";
    if (record.IsAttributeSet(AttrStatus100))
        return "scanning";
    int percent = PercentUsed(record);
    if (percent < 0)
        return "ok";
    if (record.GetUsedQuota() > record.GetPermQuota())
        return "over quota";
    int reached = 0;
    for (int threshold = 1; threshold <= static_cast<int>(kThresholdCount); ++threshold) {
        int value = record.GetThreshPercent(threshold);
        if (value > 0 && percent >= value &&
            (reached == 0 || value > record.GetThreshPercent(reached)))
            reached = threshold;
    }
    return reached ? "threshold " + std::to_string(reached) : "ok";
}
