#include "app/ax_mgr_app.h"

#include "base/window_class.h"

#include "base/resource_text.h"
#include "app/address_book.h"
#include "app/app_messages.h"
#include "app/frequency_dlg.h"
#include "app/main_frame.h"
#include "monitor/ax_mon_doc.h"
#include "monitor/ax_mon_view.h"
#include "quota/threshold_subpage.h"
#include "res/resource.h"
#include "ui/dialog.h"
#include "ui/frame_ids.h"
#include "ui/message_box.h"
#include "ui/profile.h"

#include <commctrl.h>

namespace {
constexpr char kProfileCompany[] = "Ostrel";
constexpr char kMonitorSection[] = "AXMonitor";
constexpr char kFrequencyValue[] = "Frequency";
// The document's path, which it ignores.
constexpr char kDocumentPath[] = "C:\\";
} // namespace

CAXMgrApp::CAXMgrApp() = default;

CAXMgrApp::~CAXMgrApp() = default;

bool CAXMgrApp::WantsHiddenStart(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (lstrcmpiA(argument.c_str(), "-i") == 0 || lstrcmpiA(argument.c_str(), "/i") == 0)
            return true;
    }
    return false;
}

bool CAXMgrApp::InitInstance() {
    if (ActivateRunningConsole())
        return false;
    if (!RegisterMainWindowClass())
        return false;
    m_classRegistered = true;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    std::string title = base::LoadText(IDS_APP_TITLE);
    ui::SetMessageCaption(title);
    ui::Profile::SetRoot(kProfileCompany, title);
    m_frequency =
        ui::Profile::GetInt(kMonitorSection, kFrequencyValue, monitor::kDefaultFrequencySeconds);

    if (WantsHiddenStart(Arguments()))
        SetShowCommand(SW_HIDE);
    UseAccelerators(IDR_MAINFRAME);
    quota::RegisterAddressBook(app::ShowAddressBook);
    // Without a main window the message loop ends at once and so does the process.
    OpenDocument();
    return true;
}

int CAXMgrApp::ExitInstance(int loopExitCode) {
    // A console that handed over to the one already running has nothing of its own to save.
    if (m_classRegistered) {
        base::UnregisterWindowClass(kMainWindowClass, Instance());
        SaveFrequency();
    }
    if (m_document)
        m_document->OnCloseDocument();
    m_view.reset();
    m_frame.reset();
    m_document.reset();
    return App::ExitInstance(loopExitCode);
}

void CAXMgrApp::SaveFrequency() const {
    ui::Profile::WriteInt(kMonitorSection, kFrequencyValue, m_frequency);
}

bool CAXMgrApp::ActivateRunningConsole() {
    HWND running = FindWindowA(kMainWindowClass, nullptr);
    if (!running)
        return false;
    HWND popup = GetLastActivePopup(running);
    ShowWindow(running, SW_SHOW);
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(popup ? popup : running);
    return true;
}

bool CAXMgrApp::RegisterMainWindowClass() {
    base::WindowClass windowClass;
    windowClass.name = kMainWindowClass;
    windowClass.instance = Instance();
    windowClass.icon = LoadIconA(Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    return base::RegisterWindowClass(windowClass);
}

bool CAXMgrApp::OpenDocument() {
    m_document = std::make_unique<monitor::CAXMonDoc>();
    m_frame = std::make_unique<CMainFrame>(*m_document);
    m_frame->SetSessionEndHandler([this] { SaveFrequency(); });
    if (!m_frame->CreateMainWindow())
        return false;

    m_view = std::make_unique<monitor::CAXMonView>(*m_document);
    m_view->SetFrequencySource([this] { return m_frequency; });
    m_view->SetStartedHidden(StartedHidden());
    if (!m_view->Create(m_frame->Handle(), m_frame->ClientRect(), ui::kFirstPaneControlId)) {
        m_frame->Destroy();
        return false;
    }
    m_frame->SetMonitorView(m_view.get());

    m_document->SetMainWindow(m_frame->Handle());
    m_document->SetView(m_view->Handle());
    m_document->SetStartedHidden(StartedHidden());
    SetMainWindow(m_frame.get());
    if (!m_document->OnOpenDocument(kDocumentPath)) {
        m_frame->Destroy();
        return false;
    }
    // The first load answers the messages sent to this thread while it waits for the service:
    // another program may have ended the console meanwhile.
    if (!m_frame->IsWindow())
        return false;
    m_document->SetTitle(nullptr);
    m_view->OnInitialUpdate();
    m_frame->ShowAtStart(ShowCommand());
    if (!StartedHidden())
        UpdateWindow(m_frame->Handle());
    return true;
}

bool CAXMgrApp::OnCommand(UINT id) {
    switch (id) {
    case ID_FILE_FREQUENCY:
        ShowFrequencyDialog();
        return true;
    case ID_APP_ABOUT:
        ShowAboutDialog();
        return true;
    default:
        return App::OnCommand(id);
    }
}

void CAXMgrApp::ShowFrequencyDialog() {
    CFrequencyDlg dialog(m_frequency, m_frame ? m_frame->Handle() : nullptr);
    if (dialog.DoModal() == IDOK)
        m_frequency = dialog.Seconds();
}

void CAXMgrApp::ShowAboutDialog() {
    ui::Dialog about(IDD_ABOUT, m_frame ? m_frame->Handle() : nullptr);
    about.DoModal();
}
