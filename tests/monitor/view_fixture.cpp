#include "view_fixture.h"

#include "monitor/monitor_messages.h"
#include "ui/profile.h"

monitor::MonitorEntry& FilledDocument::Add(const char* object, uint64_t used, uint64_t quota,
                                           uint32_t attributes, const char* owner) {
    auto entry = std::make_unique<monitor::MonitorEntry>();
    entry->serverName = "TESTSERVER";
    std::string path = object;
    entry->record.SetObjectName(path.substr(0, 2).c_str(), path.substr(2).c_str());
    entry->record.SetUsedQuota(used);
    entry->record.SetPermQuota(quota);
    entry->record.SetAttributes(attributes);
    entry->record.SetFileOwner(owner);
    DisplayedList().push_back(std::move(entry));
    return *DisplayedList().back();
}

ScopedProfileRoot::ScopedProfileRoot(const std::string& name) {
    ui::Profile::SetRoot("Ostrel", name + std::to_string(GetCurrentProcessId()));
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
}

ScopedProfileRoot::~ScopedProfileRoot() {
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
}

UINT SavedNumber(const char* value) {
    return ui::Profile::GetInt("AXMonitor", value, kNothingSaved);
}

std::vector<WPARAM>& ConnectedNotices() {
    static std::vector<WPARAM> notices;
    return notices;
}

namespace {
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_AXMON_CONNECTED) {
        ConnectedNotices().push_back(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
} // namespace

ViewTest::ViewTest() : m_profile("KelvaneViewTest") {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KelvaneViewTestFrame";
    RegisterClassA(&windowClass);
    m_frame = CreateWindowExA(0, "KelvaneViewTestFrame", "Kelvane", WS_OVERLAPPEDWINDOW, 0, 0, 1800,
                              900, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    m_document.SetMainWindow(m_frame);
    m_document.SetView(m_frame);
    ConnectedNotices().clear();
}

ViewTest::~ViewTest() {
    CloseView();
    if (m_frame)
        DestroyWindow(m_frame);
}

monitor::CAXMonView& ViewTest::OpenView(bool startTimer) {
    m_view = std::make_unique<monitor::CAXMonView>(m_document);
    m_view->SetStartedHidden(!startTimer);
    RECT client{};
    GetClientRect(m_frame, &client);
    EXPECT_TRUE(m_view->Create(m_frame, client, 0xE900));
    m_view->OnInitialUpdate();
    return *m_view;
}

void ViewTest::CloseView() {
    if (m_view && m_view->Handle())
        DestroyWindow(m_view->Handle());
    m_view.reset();
}

LPARAM ViewTest::CellPoint(int row, int col, bool rightEdge) const {
    int left = m_view->GetColWidth(0);
    for (int c = 1; c < col; ++c)
        left += m_view->GetColWidth(c);
    const int height = m_view->GetRowHeight();
    const int top = row ? (row - m_view->GetTopRow() + 1) * height : 0;
    return MAKELPARAM(left + m_view->GetColWidth(col) / (rightEdge ? 1 : 2), top + height / 2);
}

void ViewTest::ClickHeading(int col) {
    SendMessageA(m_view->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(0, col));
    SendMessageA(m_view->Handle(), WM_LBUTTONUP, 0, CellPoint(0, col));
}

void ViewTest::DragColumnBorder(int col, int dx) {
    const LPARAM border = CellPoint(0, col, true);
    const LPARAM to = MAKELPARAM(LOWORD(border) + dx, HIWORD(border));
    SendMessageA(m_view->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, border);
    SendMessageA(m_view->Handle(), WM_MOUSEMOVE, MK_LBUTTON, to);
    SendMessageA(m_view->Handle(), WM_LBUTTONUP, 0, to);
}

std::vector<std::string> ViewTest::ObjectColumn(int col) const {
    std::vector<std::string> values;
    for (int row = 1; row <= m_view->GetRowCount(); ++row)
        values.push_back(m_view->GetValue(row, col));
    return values;
}
