// A static control that shows a bitmap resource stretched over its whole client area, with one
// colour of the bitmap drawn transparent so that the dialog's background shows through it.
#pragma once

#include "base/handles.h"
#include "ui/window_base.h"

#include <memory>

namespace ui {

class CPictureCtrl : public WindowBase {
public:
    CPictureCtrl();
    ~CPictureCtrl() override;

    // The picture to show; set before the control takes over its window.
    void SetPicture(UINT bitmapId, bool transparent, COLORREF transparentColour,
                    HINSTANCE instance = nullptr);
    // Takes over the static placeholder `id` of `dialog`: loads the picture and measures the
    // placeholder, whose size the picture is stretched to.
    bool SubclassDlgItem(int id, HWND dialog);

    // Draws the picture over what `dc` holds, as WM_PAINT does.
    void Draw(HDC dc);

protected:
    bool OnPaint() override;
    void OnDestroy() override;

private:
    struct Picture;
    void Load();
    void BuildMasks(HDC dc);

    UINT m_bitmapId = 0;
    COLORREF m_transparentColour = RGB(0, 0, 0);
    HINSTANCE m_instance = nullptr;
    bool m_transparent = false;
    SIZE m_clientSize{};
    std::unique_ptr<Picture> m_picture; // the bitmap and its contexts, released on WM_DESTROY
};

} // namespace ui
