#include "dialog_driver.h"

#include <cstring>

namespace {

struct Search {
    const std::string* caption;
    HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && *search->caption == WindowTextOf(window) &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

DialogDriver::DialogDriver(const std::string& caption, std::function<void(HWND)> steps)
    : m_thread(GetCurrentThreadId()), m_caption(caption), m_steps(std::move(steps)),
      m_helper([this] {
          while (!m_stop) {
              Search search{&m_caption};
              EnumThreadWindows(m_thread, FindDialog, reinterpret_cast<LPARAM>(&search));
              if (search.found) {
                  m_steps(search.found);
                  m_ran = true;
                  return;
              }
              Sleep(20);
          }
      }) {}

DialogDriver::~DialogDriver() {
    m_stop = true;
    m_helper.join();
}

std::string WindowTextOf(HWND window) {
    wchar_t wide[2048] = {};
    int length = InternalGetWindowText(window, wide, 2048);
    char text[4096] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, length, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
