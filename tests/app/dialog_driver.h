// Works a modal dialog that the code under test opens on this thread: a helper thread waits for
// a dialog window with the given caption and then runs the test's steps on it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class DialogDriver {
public:
    // `steps` runs on the helper thread with the dialog's window once it is visible; it talks
    // to the dialog with SendMessage, which the dialog's modal loop answers.
    DialogDriver(const std::string& caption, std::function<void(HWND)> steps);
    ~DialogDriver(); // waits for the steps to finish (or gives up when no dialog came)
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool Ran() const { return m_ran; }

private:
    DWORD m_thread;
    std::string m_caption;
    std::function<void(HWND)> m_steps;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ran{false};
    std::thread m_helper;
};

// A window's text, read without sending it a message: safe from a helper thread while the
// window's own thread is busy.
std::string WindowTextOf(HWND window);

// The text of control `id` of `dialog` (sends WM_GETTEXT: only while its thread answers).
std::string ControlText(HWND dialog, int id);
