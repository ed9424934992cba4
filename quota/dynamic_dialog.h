// A sub-page laid out at run time: the controls of a dialog template in the resources are
// created as direct children of a parent dialog, inside the area that an invisible placement
// control of the parent marks, and shown or hidden together.
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <string>

namespace quota {

// The kind of a created control: the class codes of dialog templates, and two named classes.
enum DynamicControlKind : uint8_t {
    KindOther = 0,
    KindButton = 0x80,
    KindEdit = 0x81,
    KindStatic = 0x82,
    KindListBox = 0x83,
    KindScrollBar = 0x84,
    KindComboBox = 0x85,
    KindListView = 0x53, // "SysListView32"
    KindUpDown = 0x6D,   // "msctls_updown32"
};

struct DynamicControl {
    HWND Window = nullptr;
    DynamicControlKind Kind = KindOther;
    std::string SavedText; // the window text kept while the sub-page is hidden
};

class CDynamicDialog {
public:
    // The parent must exist: the placement control's position is taken at once. placementId 0
    // places the controls at the parent's client origin.
    CDynamicDialog(HWND parent, WORD templateId, int placementId, HINSTANCE instance = nullptr);
    CDynamicDialog(const CDynamicDialog&) = delete;
    CDynamicDialog& operator=(const CDynamicDialog&) = delete;

    // Shows or hides the sub-page, creating its controls on the first call. Hiding keeps each
    // control's text and leaves the control empty; showing puts the text back. False only when
    // the controls could not be created.
    bool Show(bool show);

    bool IsCreated() const { return m_created; }
    bool IsShown() const { return m_shown; }
    POINT PlacementOrigin() const { return m_origin; }
    WORD TemplateId() const { return m_templateId; }

    // The created controls, in the order of the template's items.
    std::list<DynamicControl> Controls;

private:
    bool CreateControls();
    // x, y, width and height in dialog units to pixels of the parent.
    RECT ToParentPixels(RECT placement) const;

    HWND m_parent;
    HINSTANCE m_instance;
    WORD m_templateId;
    WORD m_itemCount = 0;
    int m_placementId;
    bool m_created = false;
    POINT m_origin{};
    bool m_shown = false;
};

} // namespace quota
