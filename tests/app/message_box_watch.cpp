#include "message_box_watch.h"

#include "dialog_driver.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMessageTextId = 0xFFFF;

struct Search {
    const std::string* caption;
    HWND found = nullptr;
    const std::vector<HWND>* answered;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && *search->caption == WindowTextOf(window) &&
        GetDlgItem(window, kMessageTextId) && IsWindowVisible(window) &&
        std::find(search->answered->begin(), search->answered->end(), window) ==
            search->answered->end()) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

MessageBoxWatch::MessageBoxWatch(const std::string& caption, UINT answer)
    : m_thread(GetCurrentThreadId()), m_caption(caption), m_answer(answer),
      m_watcher([this] { Watch(); }) {}

MessageBoxWatch::~MessageBoxWatch() {
    m_stop = true;
    m_watcher.join();
}

std::vector<std::string> MessageBoxWatch::Texts() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_texts;
}

void MessageBoxWatch::Watch() {
    while (!m_stop) {
        Search search{&m_caption, nullptr, &m_answered};
        EnumThreadWindows(m_thread, FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            std::string text = WindowTextOf(GetDlgItem(search.found, kMessageTextId));
            {
                std::lock_guard<std::mutex> hold(m_lock);
                m_texts.push_back(text);
            }
            m_answered.push_back(search.found);
            PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(m_answer, BN_CLICKED), 0);
        }
        Sleep(20);
    }
}
