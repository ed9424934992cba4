// Helpers of the tests that drive real windows: waiting, working a modal dialog from a helper
// thread, answering message boxes, and reading tree views.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Polls (without delivering messages) until condition holds or the time is up; returns
// condition().
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000);

// A window's text, read without sending it a message: safe from a helper thread while the
// window's own thread is busy.
std::string WindowTextOf(HWND window);
// The text of control `id` of `dialog` (sends WM_GETTEXT: only while its thread answers).
std::string ControlText(HWND dialog, int id);
// Clicks button `id` of `dialog` as the button itself tells its parent.
void Click(HWND dialog, int id);
bool Enabled(HWND dialog, int id);

// The system's text for error `code`, as FormatMessage gives it.
std::string SystemText(DWORD code);

// Works a modal dialog that the code under test opens on this thread: a helper thread waits
// for a dialog whose caption contains `caption` and runs `steps` on it, talking to it with
// SendMessage, which the dialog's modal loop answers. A dialog the steps leave open (after a
// failed expectation) is cancelled.
class DialogDriver {
public:
    DialogDriver(const std::string& caption, std::function<void(HWND)> steps);
    ~DialogDriver(); // waits for the steps to finish (or gives up when no dialog came)
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool Ran() const { return m_ran; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ran{false};
    std::thread m_helper;
};

// Answers the message boxes shown on this thread (dialog windows captioned `caption`) with
// `answer`, and keeps their texts.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(const std::string& caption = "Kelvane", UINT answer = IDOK);
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    std::vector<std::string> Texts() const;
    // True once a message box came and every one has closed.
    bool Answered() const;

private:
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    std::vector<std::string> m_texts;
    std::vector<HWND> m_answered;
    std::thread m_watcher;
};

// The texts of `parent`'s children (null: the top level), in tree order.
std::vector<std::string> TreeChildren(HWND tree, HTREEITEM parent);
// The child of `parent` (null: the top level) with `text` in any case, or null.
HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text);
// Selects the item and presses the right arrow key on it, as a user expands it.
void ExpandTreeItem(HWND tree, HTREEITEM item);
