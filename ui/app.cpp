#include "ui/app.h"

#include <cstdlib>

namespace ui {

namespace {
App* g_current = nullptr;
} // namespace

App::App() {
    g_current = this;
    m_instance = GetModuleHandleA(nullptr);
    for (int i = 1; i < __argc; ++i)
        m_arguments.emplace_back(__argv[i]);
}

App::~App() {
    if (g_current == this)
        g_current = nullptr;
}

App* App::Current() {
    return g_current;
}

int App::Run(HINSTANCE instance, int showCommand) {
    if (instance)
        m_instance = instance;
    m_showCommand = showCommand;
    int loopExitCode = 0;
    if (InitInstance())
        loopExitCode = MessageLoop();
    return ExitInstance(loopExitCode);
}

bool App::UseAccelerators(UINT id) {
    m_accelerators = LoadAcceleratorsA(m_instance, MAKEINTRESOURCEA(id));
    return m_accelerators != nullptr;
}

bool App::InitInstance() {
    return true;
}

int App::ExitInstance(int loopExitCode) {
    return loopExitCode;
}

bool App::OnCommand(UINT) {
    return false;
}

void App::OnUpdateCommand(UINT, CommandState&) {}

void App::Idle() {
    if (m_mainWindow && m_mainWindow->IsWindow())
        m_mainWindow->OnIdle();
}

bool App::PreTranslate(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    for (HWND window = msg.hwnd; window;
         window = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr) {
        WindowBase* object = WindowBase::FromHandle(window);
        if (object && object->PreTranslateMessage(msg))
            return true;
    }
    HWND main = m_mainWindow ? m_mainWindow->Handle() : nullptr;
    return main && m_accelerators && (msg.hwnd == main || IsChild(main, msg.hwnd)) &&
           TranslateAcceleratorA(main, m_accelerators, &msg);
}

bool App::PumpMessage(int& exitCode) {
    MSG msg;
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        exitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return false;
    }
    if (!PreTranslate(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

int App::MessageLoop() {
    if (!m_mainWindow || !m_mainWindow->IsWindow())
        return 0;
    int exitCode = 0;
    for (;;) {
        MSG peeked;
        if (!PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE))
            Idle();
        if (!PumpMessage(exitCode) || !m_mainWindow->IsWindow())
            return exitCode;
    }
}

} // namespace ui
