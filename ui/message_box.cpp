#include "ui/message_box.h"

namespace ui {

namespace {
std::string& Caption() {
    static std::string caption = "Kelvane";
    return caption;
}
} // namespace

void SetMessageCaption(const std::string& caption) {
    Caption() = caption;
}

const std::string& MessageCaption() {
    return Caption();
}

int ShowMessage(HWND owner, const std::string& text, UINT flags) {
    return MessageBoxA(owner, text.c_str(), Caption().c_str(), flags);
}

std::string LoadText(UINT id, HINSTANCE instance) {
    char buffer[1024];
    int length = LoadStringA(instance ? instance : GetModuleHandleA(nullptr), id, buffer,
                             static_cast<int>(sizeof buffer));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

} // namespace ui
