// The console's frame, monitor view and document put together in this process as the
// application does, the view started hidden and the tray's shell calls answered by `notify`.
#pragma once

#include "app/app_messages.h"
#include "app/main_frame.h"
#include "base/window_class.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"
#include "view_fixture.h"
#include "ui/frame_ids.h"

inline BOOL WINAPI IgnoreTrayCall(DWORD, NOTIFYICONDATAA*) {
    return TRUE;
}

// The class the application registers for its main window before it makes the frame.
inline void RegisterMainWindowClass() {
    base::WindowClass windowClass;
    windowClass.name = kMainWindowClass;
    base::RegisterWindowClass(windowClass);
}

struct ConsoleWindows {
    explicit ConsoleWindows(ui::CTrayIcon::NotifyFunction notify = IgnoreTrayCall)
        : frame(document, notify), view(document) {}
    // Creates the frame and the view; the document is opened by the test.
    bool Create() {
        RegisterMainWindowClass();
        view.SetStartedHidden(true);
        if (!frame.CreateMainWindow() ||
            !view.Create(frame.Handle(), frame.ClientRect(), ui::kFirstPaneControlId))
            return false;
        frame.SetMonitorView(&view);
        document.SetMainWindow(frame.Handle());
        document.SetView(view.Handle());
        return true;
    }

    FilledDocument document;
    CMainFrame frame;
    monitor::CAXMonView view;
};
