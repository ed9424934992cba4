#include "ui/dock_status_bar.h"

#include "base/handles.h"
#include "base/resource_text.h"

#include <commctrl.h>

namespace ui {

namespace {

int ToggleKey(UINT indicator) {
    switch (indicator) {
    case kIndicatorCaps:
        return VK_CAPITAL;
    case kIndicatorNum:
        return VK_NUMLOCK;
    case kIndicatorScroll:
        return VK_SCROLL;
    default:
        return 0;
    }
}

std::string TextOr(UINT id, HINSTANCE instance, const char* fallback) {
    std::string text = base::LoadText(id, instance);
    return text.empty() ? fallback : text;
}

} // namespace

std::string CDockStatusBar::IndicatorText(UINT id) const {
    switch (id) {
    case kIndicatorCaps:
        return TextOr(id, m_instance, "CAP");
    case kIndicatorNum:
        return TextOr(id, m_instance, "NUM");
    case kIndicatorScroll:
        return TextOr(id, m_instance, "SCRL");
    default:
        return base::LoadText(id, m_instance);
    }
}

bool CDockStatusBar::Create(HWND parent, const std::vector<UINT>& indicators, UINT controlId) {
    m_instance = GetModuleHandleA(nullptr);
    m_hwnd = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_BOTTOM | SBARS_SIZEGRIP,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(UINT_PTR{controlId}),
                             m_instance, nullptr);
    if (!m_hwnd)
        return false;
    m_indicators = indicators.empty() ? std::vector<UINT>{kMessagePane} : indicators;
    m_texts.clear();
    for (UINT id : m_indicators)
        m_texts.push_back(id == kMessagePane ? std::string() : IndicatorText(id));
    m_idleText = TextOr(kIdleMessageText, m_instance, "Ready");
    Resize();
    ShowIdleText();
    UpdateIndicators();
    return true;
}

void CDockStatusBar::Resize() const {
    Send(WM_SIZE);
    std::vector<int> widths(m_indicators.size());
    {
        base::WindowDc dc(m_hwnd);
        base::SelectObjectScope font(dc.Get(), Font() ? static_cast<HGDIOBJ>(Font())
                                                      : GetStockObject(DEFAULT_GUI_FONT));
        for (size_t i = 0; i < m_indicators.size(); ++i) {
            SIZE extent{};
            GetTextExtentPoint32A(dc.Get(), m_texts[i].c_str(), static_cast<int>(m_texts[i].size()),
                                  &extent);
            widths[i] = m_indicators[i] == kMessagePane ? 0 : extent.cx + 12;
        }
    }
    // Right edges from the right: the last pane runs to the size grip, each pane before it ends
    // where the next begins, so the message pane takes what the indicators leave.
    size_t count = m_indicators.size();
    std::vector<int> edges(count, -1);
    int right = ClientRect().right - GetSystemMetrics(SM_CXVSCROLL);
    for (size_t i = count - 1; i > 0; --i) {
        right -= widths[i];
        edges[i - 1] = right;
    }
    Send(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < m_indicators.size(); ++i) {
        if (m_indicators[i] != kMessagePane && !ToggleKey(m_indicators[i]))
            Send(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(m_texts[i].c_str()));
    }
}

void CDockStatusBar::SetMessageText(const std::string& text) const {
    for (size_t i = 0; i < m_indicators.size(); ++i) {
        if (m_indicators[i] == kMessagePane)
            Send(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void CDockStatusBar::SetIdleText(const std::string& text) {
    if (text == m_idleText)
        return;
    m_idleText = text;
    ShowIdleText();
}

void CDockStatusBar::ShowCommandHelp(UINT commandId) const {
    std::string text = commandId ? base::LoadText(commandId, m_instance) : std::string();
    size_t newline = text.find('\n');
    if (newline != std::string::npos)
        text.resize(newline);
    SetMessageText(text.empty() ? m_idleText : text);
}

std::string CDockStatusBar::PaneText(int pane) const {
    LRESULT length = LOWORD(Send(SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane)));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    Send(SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void CDockStatusBar::UpdateIndicators() const {
    for (size_t i = 0; i < m_indicators.size(); ++i) {
        int key = ToggleKey(m_indicators[i]);
        if (!key)
            continue;
        const std::string& shown = (GetKeyState(key) & 1) ? m_texts[i] : std::string();
        if (PaneText(static_cast<int>(i)) != shown)
            Send(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(shown.c_str()));
    }
}

} // namespace ui
