#include "ui_test_support.h"

#include "ui/tree_view.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMessageTextId = 0xFFFF;

// The first visible dialog window of `thread` whose caption `matches` and that `wanted`.
HWND FindDialog(DWORD thread, const std::function<bool(const std::string&)>& matches,
                const std::function<bool(HWND)>& wanted) {
    struct Search {
        const std::function<bool(const std::string&)>& matches;
        const std::function<bool(HWND)>& wanted;
        HWND found = nullptr;
    } search{matches, wanted};
    auto check = [](HWND window, LPARAM context) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(context);
        char className[32] = {};
        GetClassNameA(window, className, sizeof className);
        if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
            search.matches(WindowTextOf(window)) && search.wanted(window)) {
            search.found = window;
            return FALSE;
        }
        return TRUE;
    };
    EnumThreadWindows(thread, check, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds)
            return false;
        Sleep(10);
    }
    return true;
}

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
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

std::string SystemText(DWORD code) {
    char text[1024] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text - 1, nullptr);
    return text;
}

DialogDriver::DialogDriver(const std::string& caption, std::function<void(HWND)> steps)
    : m_helper([this, caption, steps, thread = GetCurrentThreadId()] {
          auto matches = [&](const std::string& text) {
              return text.find(caption) != std::string::npos;
          };
          while (!m_stop) {
              if (HWND dialog = FindDialog(thread, matches, [](HWND) { return true; })) {
                  steps(dialog);
                  m_ran = true;
                  if (!WaitUntil([&] { return !IsWindowVisible(dialog); }, 3000))
                      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                  return;
              }
              Sleep(20);
          }
      }) {}

DialogDriver::~DialogDriver() {
    m_stop = true;
    m_helper.join();
}

MessageBoxWatch::MessageBoxWatch(const std::string& caption, UINT answer)
    : m_watcher([this, caption, answer, thread = GetCurrentThreadId()] {
          auto matches = [&](const std::string& text) { return text == caption; };
          auto unanswered = [&](HWND window) {
              std::lock_guard<std::mutex> hold(m_lock);
              return GetDlgItem(window, kMessageTextId) &&
                     std::find(m_answered.begin(), m_answered.end(), window) == m_answered.end();
          };
          while (!m_stop) {
              if (HWND box = FindDialog(thread, matches, unanswered)) {
                  std::string text = WindowTextOf(GetDlgItem(box, kMessageTextId));
                  {
                      std::lock_guard<std::mutex> hold(m_lock);
                      m_texts.push_back(text);
                      m_answered.push_back(box);
                  }
                  PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
              }
              Sleep(20);
          }
      }) {}

MessageBoxWatch::~MessageBoxWatch() {
    m_stop = true;
    m_watcher.join();
}

std::vector<std::string> MessageBoxWatch::Texts() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_texts;
}

bool MessageBoxWatch::Answered() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return !m_answered.empty() && std::none_of(m_answered.begin(), m_answered.end(), IsWindow);
}

std::vector<std::string> TreeChildren(HWND tree, HTREEITEM parent) {
    ui::TreeView view(tree);
    std::vector<std::string> texts;
    for (HTREEITEM child = parent ? view.Child(parent) : view.Root(); child;
         child = view.NextSibling(child))
        texts.push_back(view.ItemText(child));
    return texts;
}

HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text) {
    return ui::TreeView(tree).FindChild(parent, text);
}

void ExpandTreeItem(HWND tree, HTREEITEM item) {
    TreeView_SelectItem(tree, item);
    SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
}
