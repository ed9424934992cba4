// Ordering texts as the user's locale collates them without regard to case, the order of
// CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ...). Each text is mapped once to its
// collation key, whose bytes compare as the texts collate, so that a sort makes one locale call
// per text instead of one per comparison.
#pragma once

#include <string>
#include <vector>

namespace grid_collation {

// The collation key of `text`: compared byte by byte (as unsigned chars, a shorter key before a
// longer one it begins), two keys order as their texts collate. False when the locale refuses.
bool CollationKey(const std::string& text, std::string& key);

// Positions 0..n-1 of `texts` in collation order, ascending or descending; texts that collate
// equal keep their relative order in both directions.
std::vector<int> StableOrder(const std::vector<std::string>& texts, bool ascending);

} // namespace grid_collation
