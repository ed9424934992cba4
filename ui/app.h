// The application object: start-up and exit overridables, the program's arguments and show
// command, and the message loop (accelerators, modeless dialogs, idle-time command states).
#pragma once

#include "ui/command_state.h"
#include "ui/window_base.h"

#include <string>
#include <vector>

namespace ui {

class App {
public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The one application object of the process, or null.
    static App* Current();

    // Runs the program: InitInstance, the message loop while it returned true, ExitInstance.
    // Returns the exit code.
    int Run(HINSTANCE instance, int showCommand);

    HINSTANCE Instance() const { return m_instance; }
    // The arguments after the program name, as the C runtime split them.
    const std::vector<std::string>& Arguments() const { return m_arguments; }
    void SetArguments(std::vector<std::string> arguments) { m_arguments = std::move(arguments); }
    int ShowCommand() const { return m_showCommand; }
    void SetShowCommand(int command) { m_showCommand = command; }

    // The main window: once it is destroyed the message loop ends. Its OnIdle runs when the
    // queue is empty; its commands fall back to the application's OnCommand.
    WindowBase* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(WindowBase* window) { m_mainWindow = window; }
    // Keys translated into commands for the main window; the table stays owned by the module.
    bool UseAccelerators(UINT id);

    // The message loop alone; returns the WM_QUIT code. With no main window it ends at once.
    int MessageLoop();
    // Takes and handles one message; false on WM_QUIT (its code in exitCode).
    bool PumpMessage(int& exitCode);
    // Keys for the windows on the message's way up (each one's PreTranslateMessage, from the
    // message's window to its top-level window) and the main window's accelerators; true when
    // consumed.
    bool PreTranslate(MSG& msg);
    // Runs the idle work once (command states of the main window's bars).
    void Idle();

    // Commands nobody else handled, and their states.
    virtual bool OnCommand(UINT id);
    virtual void OnUpdateCommand(UINT id, CommandState& state);

protected:
    // False ends the program at once (ExitInstance still runs).
    virtual bool InitInstance();
    virtual int ExitInstance(int loopExitCode);

private:
    HINSTANCE m_instance = nullptr;
    int m_showCommand = SW_SHOWNORMAL;
    std::vector<std::string> m_arguments;
    WindowBase* m_mainWindow = nullptr;
    HACCEL m_accelerators = nullptr;
};

} // namespace ui
