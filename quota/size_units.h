// Sizes shown in the quota pages as a whole number of bytes, kilobytes or megabytes.
#pragma once

#include <cstdint>
#include <string>

namespace quota {

enum SizeUnit : int { UnitBytes = 0, UnitKilobytes = 1, UnitMegabytes = 2 };

struct SizeInUnit {
    SizeUnit Unit;
    uint64_t Value;
};

// The largest unit that divides `bytes` exactly; 0 is shown in megabytes.
SizeInUnit SplitSize(uint64_t bytes);

// `value` of `unit` in bytes, truncated toward zero; negative values give 0 and values beyond
// 64 bits the largest count.
uint64_t BytesOf(double value, int unit);

// A number as the pages show it: whole, without thousands separators ("%f" through the user's
// number format with no decimals).
std::string FormatWholeNumber(double value);

} // namespace quota
