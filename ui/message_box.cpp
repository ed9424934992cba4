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

} // namespace ui
