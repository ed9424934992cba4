// The look and content of one grid cell. Every property is optional: an unset property is
// inherited from the column style, then from the standard style of the grid.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class GridAlign { Left, Center, Right };
enum class GridFrame { None, Raised, Sunken };

class CGridStyle {
public:
    bool HasValue() const { return m_value.has_value(); }
    const std::string& GetValue() const; // empty when unset
    CGridStyle& SetValue(std::string value);
    CGridStyle& ClearValue();

    bool HasControl() const { return m_control.has_value(); }
    int GetControl() const { return m_control.value_or(0); }
    CGridStyle& SetControl(int controlId);

    bool HasHorzAlign() const { return m_align.has_value(); }
    GridAlign GetHorzAlign() const { return m_align.value_or(GridAlign::Left); }
    CGridStyle& SetHorzAlign(GridAlign align);

    bool HasTextColor() const { return m_textColor.has_value(); }
    COLORREF GetTextColor() const { return m_textColor.value_or(RGB(0, 0, 0)); }
    CGridStyle& SetTextColor(COLORREF color);

    bool HasInterior() const { return m_interior.has_value(); }
    COLORREF GetInterior() const { return m_interior.value_or(RGB(255, 255, 255)); }
    CGridStyle& SetInterior(COLORREF color);

    bool HasFrame() const { return m_frame.has_value(); }
    GridFrame GetFrame() const { return m_frame.value_or(GridFrame::None); }
    CGridStyle& SetFrame(GridFrame frame);

    // User attributes: texts keyed by an attribute id (GRID_IDS_UA_...).
    bool HasUserAttribute(int id) const;
    const std::string& GetUserAttribute(int id) const; // empty when unset
    CGridStyle& SetUserAttribute(int id, std::string value);

    // A pointer the program keeps with the cell; the grid never dereferences it.
    bool HasItemDataPtr() const { return m_itemData.has_value(); }
    void* GetItemDataPtr() const { return m_itemData.value_or(nullptr); }
    CGridStyle& SetItemDataPtr(void* item);
    CGridStyle& ClearItemDataPtr();

    // True when no property is set.
    bool IsEmpty() const;
    // Equal when the same properties are set to the same values (user attributes in order).
    bool operator==(const CGridStyle& other) const = default;
    size_t Hash() const;

    // Takes every property set in `other` (user attributes one by one).
    void ChangeStyle(const CGridStyle& other);
    // Takes the properties of `base` that this style leaves unset.
    void Inherit(const CGridStyle& base);

private:
    std::optional<std::string> m_value;
    std::optional<int> m_control;
    std::optional<GridAlign> m_align;
    std::optional<COLORREF> m_textColor;
    std::optional<COLORREF> m_interior;
    std::optional<GridFrame> m_frame;
    std::optional<void*> m_itemData;
    std::vector<std::pair<int, std::string>> m_userAttributes;
};
