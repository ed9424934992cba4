// Answers the message boxes a dialog under test shows on this thread, and keeps their texts.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxWatch {
public:
    // Watches the windows of the calling thread; every message box (a dialog window whose
    // caption is `caption`) is read and closed with `answer`.
    explicit MessageBoxWatch(const std::string& caption = "Kelvane", UINT answer = IDOK);
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    std::vector<std::string> Texts() const;

private:
    void Watch();

    DWORD m_thread;
    std::string m_caption;
    UINT m_answer;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::vector<std::string> m_texts;
    std::vector<HWND> m_answered;
    std::thread m_watcher;
};
