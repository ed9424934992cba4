#include "tools/axquota_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

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
    // Digits, at most one decimal point, then an optional unit: nothing else (no signs,
    // exponents or hexadecimal).
    size_t pos = text.find_first_not_of(' ');
    if (pos == std::string::npos)
        return false;
    size_t numberStart = pos;
    size_t digits = 0;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (std::isdigit(static_cast<unsigned char>(c)))
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    std::string number = text.substr(numberStart, pos - numberStart);
    size_t unitStart = text.find_first_not_of(' ', pos);
    std::string unit;
    if (unitStart != std::string::npos) {
        size_t end = std::min(text.find(' ', unitStart), text.size());
        for (size_t i = unitStart; i < end; ++i)
            unit += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (text.find_first_not_of(' ', end) != std::string::npos)
            return false;
    }
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB", "PB"};
    int power = -1;
    for (int i = 0; i < 6; ++i)
        if (unit == units[i] || (i > 0 && unit.size() == 1 && unit[0] == units[i][0]))
            power = i;
    if (unit.empty())
        power = 0;
    if (power < 0)
        return false;
    double value = strtod(number.c_str(), nullptr);
    double scaled = std::ldexp(value, 10 * power);
    if (scaled >= 18446744073709551616.0 || std::floor(scaled) != scaled)
        return false;
    bytes = static_cast<uint64_t>(scaled);
    return true;
}

std::string ParseThresholds(const std::string& text, uint8_t (&values)[kThresholdCount],
                            int& count) {
    count = 0;
    const char* cursor = text.c_str();
    if (!*cursor)
        return "no thresholds given";
    while (*cursor) {
        if (count == static_cast<int>(kThresholdCount))
            return "at most " + std::to_string(kThresholdCount) + " thresholds";
        if (!std::isdigit(static_cast<unsigned char>(*cursor)))
            return "not a list of percentages";
        char* end = nullptr;
        unsigned long value = strtoul(cursor, &end, 10);
        if (*end && *end != ',')
            return "not a list of percentages";
        if (value > 255)
            return "a threshold is at most 255 percent";
        values[count++] = static_cast<uint8_t>(value);
        cursor = *end ? end + 1 : end;
        if (*end && !*cursor)
            return "not a list of percentages";
    }
    // 0 clears a threshold; the others come highest first.
    int previous = 256;
    for (int i = 0; i < count; ++i) {
        if (values[i] == 0)
            continue;
        if (values[i] >= previous)
            return "thresholds must be given highest first";
        previous = values[i];
    }
    return {};
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

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string QuotaCsvHeader() {
    return "Object,Owner,Used Bytes,Quota,Quota Unit,Percent Used,High Water Bytes,"
           "Overdraft Bytes,Status";
}

std::string QuotaCsvLine(const AllotrixBaseDbRec& record) {
    const char* unit = record.IsAttributeSet(AttrPercentOfDevice)        ? "% of device"
                       : record.IsAttributeSet(AttrPercentOfCurrentUsed) ? "% of used"
                                                                         : "bytes";
    const int percent = PercentUsed(record);
    const std::string fields[] = {record.GetMappedName(1),
                                  record.GetFileOwner(),
                                  std::to_string(record.GetUsedQuota()),
                                  std::to_string(record.GetPermQuota()),
                                  unit,
                                  percent < 0 ? std::string() : std::to_string(percent),
                                  std::to_string(record.GetHighWaterMark()),
                                  std::to_string(record.GetOverDraft()),
                                  QuotaState(record)};
    std::string line = CsvField(fields[0]);
    for (size_t i = 1; i < std::size(fields); ++i)
        line += "," + CsvField(fields[i]);
    return line;
}
