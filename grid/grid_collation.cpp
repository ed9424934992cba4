#include "grid/grid_collation.h"

#include <windows.h>

#include <algorithm>
#include <numeric>
#include <string_view>

namespace grid_collation {

namespace {

constexpr DWORD kCollationFlags = NORM_IGNORECASE;

int CompareTexts(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, kCollationFlags, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

// Sorting by the keys: the comparisons read the keys one after the other in memory.
struct KeyedPosition {
    std::string_view key;
    int position;
};

std::vector<int> OrderByCompareTexts(const std::vector<std::string>& texts, bool ascending) {
    std::vector<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int compared = CompareTexts(texts[a], texts[b]);
        return ascending ? compared < 0 : compared > 0;
    });
    return order;
}

} // namespace

bool CollationKey(const std::string& text, std::string& key) {
    // LCMapStringA refuses a length of 0; the terminated empty text gives the key of a text
    // without collating characters, which is what CompareStringA makes of an empty text.
    const int length = text.empty() ? -1 : static_cast<int>(text.size());
    const DWORD flags = LCMAP_SORTKEY | kCollationFlags;
    char buffer[256];
    int size =
        LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), length, buffer, sizeof buffer);
    if (size > 0) {
        key.assign(buffer, size - 1); // without the terminating zero
        return true;
    }
    size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), length, nullptr, 0);
    if (size <= 0)
        return false;
    key.resize(size);
    size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), length, key.data(), size);
    if (size <= 0)
        return false;
    key.resize(size - 1);
    return true;
}

std::vector<int> StableOrder(const std::vector<std::string>& texts, bool ascending) {
    // A text equal to the one before shares its key: a column often repeats a text (the server,
    // "Enabled", an empty status key) over many rows in a row.
    std::vector<std::string> keys(texts.size());
    std::vector<KeyedPosition> keyed(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0 && texts[i] == texts[i - 1]) {
            keyed[i] = {keyed[i - 1].key, static_cast<int>(i)};
            continue;
        }
        if (!CollationKey(texts[i], keys[i]))
            return OrderByCompareTexts(texts, ascending);
        keyed[i] = {keys[i], static_cast<int>(i)};
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [ascending](const KeyedPosition& a, const KeyedPosition& b) {
                         return ascending ? a.key < b.key : b.key < a.key;
                     });
    std::vector<int> order(keyed.size());
    std::transform(keyed.begin(), keyed.end(), order.begin(),
                   [](const KeyedPosition& item) { return item.position; });
    return order;
}

} // namespace grid_collation
