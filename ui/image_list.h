// An owned image list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace ui {

class ImageList {
public:
    ImageList() = default;
    ~ImageList() { Reset(); }
    ImageList(ImageList&& other) noexcept : m_list(std::exchange(other.m_list, nullptr)) {}
    ImageList& operator=(ImageList&& other) noexcept {
        if (this != &other) {
            Reset();
            m_list = std::exchange(other.m_list, nullptr);
        }
        return *this;
    }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // A list of width x height images; masked lists draw a mask colour transparent.
    bool Create(int width, int height, bool masked, int initial = 4, int grow = 4) {
        Reset();
        m_list =
            ImageList_Create(width, height, ILC_COLOR24 | (masked ? ILC_MASK : 0), initial, grow);
        return m_list != nullptr;
    }
    // Adds the images of a bitmap resource (as many as fit its width); maskColour is drawn
    // transparent. Returns the index of the first image added, -1 on failure.
    int AddBitmap(UINT bitmapId, COLORREF maskColour, HINSTANCE instance = nullptr) {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(instance ? instance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId),
                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bitmap)
            return -1;
        int index = ImageList_AddMasked(m_list, bitmap, maskColour);
        DeleteObject(bitmap);
        return index;
    }
    // Adds an icon resource at the list's image size; returns its index, -1 on failure.
    int AddIcon(UINT iconId, HINSTANCE instance = nullptr) {
        int width = 0, height = 0;
        ImageList_GetIconSize(m_list, &width, &height);
        HICON icon =
            static_cast<HICON>(LoadImageA(instance ? instance : GetModuleHandleA(nullptr),
                                          MAKEINTRESOURCEA(iconId), IMAGE_ICON, width, height, 0));
        if (!icon)
            return -1;
        int index = ImageList_AddIcon(m_list, icon);
        DestroyIcon(icon);
        return index;
    }
    int Count() const { return m_list ? ImageList_GetImageCount(m_list) : 0; }
    HIMAGELIST Handle() const { return m_list; }
    // Hands the list to a control that destroys it itself (LVS_SHAREIMAGELISTS absent).
    HIMAGELIST Release() { return std::exchange(m_list, nullptr); }
    void Reset() {
        if (m_list)
            ImageList_Destroy(m_list);
        m_list = nullptr;
    }

private:
    HIMAGELIST m_list = nullptr;
};

} // namespace ui
