#include "grid/grid_looks.h"

CGridLooks::CGridLooks() : m_looks(1) {}

uint32_t CGridLooks::Intern(const CGridStyle& look) {
    if (look.IsEmpty())
        return 0;
    const size_t hash = look.Hash();
    const auto [first, last] = m_byHash.equal_range(hash);
    for (auto found = first; found != last; ++found)
        if (m_looks[found->second] == look)
            return found->second;
    const auto number = static_cast<uint32_t>(m_looks.size());
    m_looks.push_back(look);
    m_byHash.emplace(hash, number);
    return number;
}
