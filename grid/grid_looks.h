// The looks of a grid's cells: each distinct set of style properties other than the value and the
// item pointer is kept once, and cells refer to it by its number, so that ten thousand rows of
// the same few looks cost no more than the looks themselves. Look 0 sets no property.
#pragma once

#include "grid/grid_style.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class CGridLooks {
public:
    CGridLooks();

    // The number of the look equal to `look` (a style without value and item pointer), added
    // when there is none yet.
    uint32_t Intern(const CGridStyle& look);
    const CGridStyle& Get(uint32_t number) const { return m_looks[number]; }
    size_t Count() const { return m_looks.size(); }

private:
    std::vector<CGridStyle> m_looks;
    std::unordered_multimap<size_t, uint32_t> m_byHash;
};
