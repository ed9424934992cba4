#include "grid/grid_style.h"

#include <algorithm>
#include <functional>
#include <type_traits>

namespace {

const std::string& EmptyText() {
    static const std::string empty;
    return empty;
}

template <typename T> void TakeIfSet(std::optional<T>& target, const std::optional<T>& source) {
    if (source)
        target = source;
}

template <typename T> void TakeIfUnset(std::optional<T>& target, const std::optional<T>& source) {
    if (!target)
        target = source;
}

} // namespace

const std::string& CGridStyle::GetValue() const {
    return m_value ? *m_value : EmptyText();
}

CGridStyle& CGridStyle::SetValue(std::string value) {
    m_value = std::move(value);
    return *this;
}

CGridStyle& CGridStyle::ClearValue() {
    m_value.reset();
    return *this;
}

CGridStyle& CGridStyle::SetControl(int controlId) {
    m_control = controlId;
    return *this;
}

CGridStyle& CGridStyle::SetHorzAlign(GridAlign align) {
    m_align = align;
    return *this;
}

CGridStyle& CGridStyle::SetTextColor(COLORREF color) {
    m_textColor = color;
    return *this;
}

CGridStyle& CGridStyle::SetInterior(COLORREF color) {
    m_interior = color;
    return *this;
}

CGridStyle& CGridStyle::SetFrame(GridFrame frame) {
    m_frame = frame;
    return *this;
}

bool CGridStyle::HasUserAttribute(int id) const {
    return std::any_of(m_userAttributes.begin(), m_userAttributes.end(),
                       [id](const auto& attribute) { return attribute.first == id; });
}

const std::string& CGridStyle::GetUserAttribute(int id) const {
    for (const auto& [key, value] : m_userAttributes)
        if (key == id)
            return value;
    return EmptyText();
}

CGridStyle& CGridStyle::SetUserAttribute(int id, std::string value) {
    for (auto& [key, existing] : m_userAttributes)
        if (key == id) {
            existing = std::move(value);
            return *this;
        }
    m_userAttributes.emplace_back(id, std::move(value));
    return *this;
}

CGridStyle& CGridStyle::SetItemDataPtr(void* item) {
    m_itemData = item;
    return *this;
}

CGridStyle& CGridStyle::ClearItemDataPtr() {
    m_itemData.reset();
    return *this;
}

bool CGridStyle::IsEmpty() const {
    return !m_value && !m_control && !m_align && !m_textColor && !m_interior && !m_frame &&
           !m_itemData && m_userAttributes.empty();
}

size_t CGridStyle::Hash() const {
    size_t hash = 0;
    auto mix = [&hash](size_t part) { hash = (hash ^ part) * 1099511628211ull; };
    auto mixOptional = [&mix](const auto& property) {
        mix(property ? std::hash<std::decay_t<decltype(*property)>>()(*property) + 1 : 0);
    };
    mixOptional(m_value);
    mixOptional(m_control);
    mixOptional(m_align);
    mixOptional(m_textColor);
    mixOptional(m_interior);
    mixOptional(m_frame);
    mixOptional(m_itemData);
    for (const auto& [id, value] : m_userAttributes) {
        mix(std::hash<int>()(id));
        mix(std::hash<std::string>()(value));
    }
    return hash;
}

void CGridStyle::ChangeStyle(const CGridStyle& other) {
    TakeIfSet(m_value, other.m_value);
    TakeIfSet(m_control, other.m_control);
    TakeIfSet(m_align, other.m_align);
    TakeIfSet(m_textColor, other.m_textColor);
    TakeIfSet(m_interior, other.m_interior);
    TakeIfSet(m_frame, other.m_frame);
    TakeIfSet(m_itemData, other.m_itemData);
    for (const auto& [id, value] : other.m_userAttributes)
        SetUserAttribute(id, value);
}

void CGridStyle::Inherit(const CGridStyle& base) {
    TakeIfUnset(m_value, base.m_value);
    TakeIfUnset(m_control, base.m_control);
    TakeIfUnset(m_align, base.m_align);
    TakeIfUnset(m_textColor, base.m_textColor);
    TakeIfUnset(m_interior, base.m_interior);
    TakeIfUnset(m_frame, base.m_frame);
    TakeIfUnset(m_itemData, base.m_itemData);
    for (const auto& [id, value] : base.m_userAttributes)
        if (!HasUserAttribute(id))
            m_userAttributes.emplace_back(id, value);
}
