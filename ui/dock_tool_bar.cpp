#include "ui/dock_tool_bar.h"

#include "base/resource_text.h"

#include <algorithm>

namespace ui {

namespace {

// The layout resource as WORDs; empty when missing or malformed.
std::vector<WORD> ReadLayout(HINSTANCE instance, UINT id) {
    HRSRC found =
        FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kToolBarResourceType));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!words || size < 4 * sizeof(WORD) || words[0] != 1)
        return {};
    size_t count = words[3];
    if (size < (4 + count) * sizeof(WORD))
        return {};
    return std::vector<WORD>(words, words + 4 + count);
}

} // namespace

bool CDockToolBar::Create(HWND parent, UINT controlId) {
    m_hwnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT |
                                 TBSTYLE_TOOLTIPS | CCS_TOP,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(UINT_PTR{controlId}),
                             GetModuleHandleA(nullptr), nullptr);
    if (!m_hwnd)
        return false;
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CDockToolBar::LoadToolBar(UINT id, HINSTANCE instance) {
    m_instance = instance ? instance : GetModuleHandleA(nullptr);
    std::vector<WORD> layout = ReadLayout(m_instance, id);
    if (layout.empty() || !m_hwnd)
        return false;
    m_imageSize = SIZE{layout[1], layout[2]};
    m_ids.assign(layout.begin() + 4, layout.end());

    m_images.Reset(CreateMappedBitmap(m_instance, static_cast<INT_PTR>(id), 0, nullptr, 0));
    if (!m_images)
        return false;
    Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(m_imageSize.cx, m_imageSize.cy));
    int images = 0;
    for (UINT command : m_ids)
        images += command != 0;
    TBADDBITMAP bitmap{nullptr, reinterpret_cast<UINT_PTR>(m_images.Get())};
    if (Send(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&bitmap)) < 0)
        return false;

    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (UINT command : m_ids) {
        TBBUTTON button{};
        button.idCommand = static_cast<int>(command);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = command ? BTNS_BUTTON : BTNS_SEP;
        button.iBitmap = command ? image++ : 0;
        button.iString = -1;
        buttons.push_back(button);
    }
    if (!Send(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())))
        return false;
    Send(TB_AUTOSIZE);
    return true;
}

std::string CDockToolBar::ToolTipText(UINT commandId) const {
    std::string text = base::LoadText(commandId, m_instance);
    size_t newline = text.find('\n');
    return newline == std::string::npos ? std::string() : text.substr(newline + 1);
}

bool CDockToolBar::HandleToolTipRequest(NMHDR& header) {
    if (header.code != TTN_GETDISPINFOA && header.code != TTN_GETDISPINFOW)
        return false;
    UINT commandId = static_cast<UINT>(header.idFrom);
    if (commandId == 0 || std::find(m_ids.begin(), m_ids.end(), commandId) == m_ids.end())
        return false;
    m_tipText = ToolTipText(commandId);
    if (header.code == TTN_GETDISPINFOA) {
        auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
        info.hinst = nullptr;
        info.lpszText = m_tipText.data();
    } else {
        int length = MultiByteToWideChar(CP_ACP, 0, m_tipText.c_str(), -1, nullptr, 0);
        m_wideTipText.assign(static_cast<size_t>(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, m_tipText.c_str(), -1, m_wideTipText.data(), length);
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        info.hinst = nullptr;
        info.lpszText = m_wideTipText.data();
    }
    return true;
}

void CDockToolBar::ApplyState(UINT commandId, const CommandState& state) const {
    if (IsButtonEnabled(commandId) != state.Enabled())
        Send(TB_ENABLEBUTTON, commandId, MAKELPARAM(state.Enabled(), 0));
    if (IsButtonChecked(commandId) != state.Checked())
        Send(TB_CHECKBUTTON, commandId, MAKELPARAM(state.Checked(), 0));
}

bool CDockToolBar::IsButtonEnabled(UINT commandId) const {
    return Send(TB_ISBUTTONENABLED, commandId) != 0;
}

bool CDockToolBar::IsButtonChecked(UINT commandId) const {
    return Send(TB_ISBUTTONCHECKED, commandId) != 0;
}

} // namespace ui
