// The console application: one console per desktop, started visible or hidden in the
// notification area ("-i" or "/i"), watching the quota records of the computer it runs on.
#pragma once

#include "monitor/ax_mon_view.h"
#include "ui/app.h"

#include <memory>

namespace monitor {
class CAXMonDoc;
class CAXMonView;
} // namespace monitor
class CMainFrame;

class CAXMgrApp : public ui::App {
public:
    CAXMgrApp();
    ~CAXMgrApp() override;

    static CAXMgrApp* Current() { return static_cast<CAXMgrApp*>(App::Current()); }

    // Seconds between the end of one refresh and the start of the next.
    UINT Frequency() const { return m_frequency; }
    void SetFrequency(UINT seconds) { m_frequency = seconds; }
    bool StartedHidden() const { return ShowCommand() == SW_HIDE; }

    // True when an argument is "-i" or "/i" in any case.
    static bool WantsHiddenStart(const std::vector<std::string>& arguments);

    bool OnCommand(UINT id) override;

protected:
    bool InitInstance() override;
    int ExitInstance(int loopExitCode) override;

private:
    bool ActivateRunningConsole();
    bool RegisterMainWindowClass();
    void SaveFrequency() const;
    bool OpenDocument();
    void ShowFrequencyDialog();
    void ShowAboutDialog();

    UINT m_frequency = monitor::kDefaultFrequencySeconds;
    bool m_classRegistered = false;
    std::unique_ptr<monitor::CAXMonDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<monitor::CAXMonView> m_view;
};
