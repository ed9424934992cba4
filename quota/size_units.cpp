#include "quota/size_units.h"

#include <windows.h>

#include <cstdio>

namespace quota {

SizeInUnit SplitSize(uint64_t bytes) {
    if (bytes % 1048576 == 0)
        return {UnitMegabytes, bytes / 1048576};
    if (bytes % 1024 == 0)
        return {UnitKilobytes, bytes / 1024};
    return {UnitBytes, bytes};
}

uint64_t BytesOf(double value, int unit) {
    const double factor = unit == UnitMegabytes ? 1048576.0 : unit == UnitKilobytes ? 1024.0 : 1.0;
    const double bytes = value * factor;
    if (!(bytes > 0))
        return 0;
    if (bytes >= 18446744073709551616.0)
        return UINT64_MAX;
    return static_cast<uint64_t>(bytes);
}

std::string FormatWholeNumber(double value) {
    char plain[400];
    std::snprintf(plain, sizeof plain, "%f", value);
    char decimal[] = ".", thousands[] = "";
    NUMBERFMTA format{0, 1, 3, decimal, thousands, 2};
    char shown[40] = "";
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, plain, &format, shown, sizeof shown) == 0)
        return plain;
    return shown;
}

} // namespace quota
