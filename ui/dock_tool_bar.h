// A toolbar built from a toolbar layout resource (type 241: WORD version 1, button width,
// button height, count, then count command ids, 0 for a separator) and the bitmap resource of the
// same id holding the button images left to right. Tool tips are the string-table texts of the
// commands after their "\n".
#pragma once

#include "ui/command_state.h"
#include "ui/frame_ids.h"
#include "base/handles.h"
#include "ui/window.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace ui {

class CDockToolBar : public Window {
public:
    // A child toolbar at the top of parent with tool tips.
    bool Create(HWND parent, UINT controlId = kToolBarControlId);
    // Adds the buttons and images of resource id; false when either resource is missing or
    // malformed.
    bool LoadToolBar(UINT id, HINSTANCE instance = nullptr);

    // The command ids in order, 0 for a separator.
    const std::vector<UINT>& ButtonIds() const { return m_ids; }
    SIZE ButtonImageSize() const { return m_imageSize; }
    std::string ToolTipText(UINT commandId) const;
    // Answers the tool tip's request for a button's text (TTN_GETDISPINFOA/W sent to the
    // toolbar's parent); false for other notifications.
    bool HandleToolTipRequest(NMHDR& header);
    // Enables and checks a button as state says.
    void ApplyState(UINT commandId, const CommandState& state) const;
    bool IsButtonEnabled(UINT commandId) const;
    bool IsButtonChecked(UINT commandId) const;

private:
    HINSTANCE m_instance = nullptr;
    std::vector<UINT> m_ids;
    SIZE m_imageSize{};
    base::UniqueBitmap m_images;
    std::string m_tipText;
    std::wstring m_wideTipText;
};

} // namespace ui
