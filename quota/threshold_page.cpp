#include "quota/threshold_page.h"

#include "client/axcli.h"
#include "quota/quota_messages.h"
#include "res/resource.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"
#include "base/resource_text.h"

namespace quota {

namespace {
constexpr COLORREF kPictureBackground = RGB(198, 198, 198);
} // namespace

CPage::CPage(int index, const std::string& caption, QuotaEditRecord& record, AXCli& client,
             const std::string& serverName)
    : CGenDynamicPage(IDD_THRESHOLD_PAGE, caption), m_index(index), m_record(record),
      m_client(client), m_serverName(serverName) {}

int CPage::ServerKind() const {
    return m_client.ServerKind;
}

bool CPage::OnInitDialog() {
    m_picture.SetPicture(IDB_THRESHOLD_PICTURE, true, kPictureBackground);
    m_picture.SubclassDlgItem(IDC_PAGE_PICTURE, m_hwnd);
    m_mailInfo = Action().ReportMail;
    m_actionFlags = m_record.TemplateActionFlags[m_index];

    m_subPages = MakeThresholdSubPages(ServerKind());
    m_notYetLoaded.assign(m_subPages.size(), true);
    for (size_t i = 0; i < m_subPages.size(); ++i) {
        AddDynamicDialog(static_cast<WORD>(i), m_subPages[i]->TemplateId(), IDC_SUBPAGE_PLACEMENT);
        SendItem(IDC_CONFIGURATION, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(base::LoadText(m_subPages[i]->ItemTextId()).c_str()));
    }
    m_configuration = 0;
    ShowDynamicDialog(0);
    LoadSubPage(0);
    return CGenDynamicPage::OnInitDialog();
}

void CPage::DoDataExchange(ui::DataExchange& exchange) {
    exchange.ComboIndex(IDC_CONFIGURATION, m_configuration);
}

void CPage::OnOK() {
    SaveShownSubPage();
    CGenDynamicPage::OnOK();
}

bool CPage::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_CONFIGURATION) {
        if (code == CBN_SELCHANGE)
            OnConfigurationChanged();
        return true;
    }
    if (m_shown < static_cast<int>(m_subPages.size()) &&
        m_subPages[static_cast<size_t>(m_shown)]->OnCommand(*this, id, code))
        return true;
    return CGenDynamicPage::OnCommand(id, code, control);
}

bool CPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_AXQUOTA_RELOAD) {
        Reload();
        result = 0;
        return true;
    }
    return CGenDynamicPage::OnMessage(message, wParam, lParam, result);
}

void CPage::OnConfigurationChanged() {
    if (!SaveShownSubPage()) {
        SendItem(IDC_CONFIGURATION, CB_SETCURSEL, static_cast<WPARAM>(m_shown));
        return;
    }
    const int index = static_cast<int>(SendItem(IDC_CONFIGURATION, CB_GETCURSEL));
    if (index < 0 || index >= static_cast<int>(m_subPages.size()))
        return;
    Send(WM_SETREDRAW, FALSE);
    if (index != m_shown)
        m_subPages[static_cast<size_t>(m_shown)]->Hide(*this);
    ShowDynamicDialog(static_cast<WORD>(index));
    LoadSubPage(index);
    m_shown = index;
    m_configuration = index;
    Send(WM_SETREDRAW, TRUE);
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CPage::LoadSubPage(int index) {
    const auto i = static_cast<size_t>(index);
    m_subPages[i]->Load(*this, m_notYetLoaded[i]);
    m_notYetLoaded[i] = false;
    MakeCheckBoxesTwoState(index);
}

bool CPage::SaveShownSubPage() {
    return m_subPages[static_cast<size_t>(m_shown)]->Save(*this);
}

// A template was applied to the record: the loaded sub-pages show its values.
void CPage::Reload() {
    ui::WaitCursor wait;
    m_mailInfo = Action().ReportMail;
    m_actionFlags = m_record.TemplateActionFlags[m_index];
    for (size_t i = 0; i < m_subPages.size(); ++i) {
        if (i == 0 || !m_notYetLoaded[i])
            LoadSubPage(static_cast<int>(i));
    }
}

// The templates' check boxes are three-state; the pages offer two states, and the text-less
// ones stay hidden.
void CPage::MakeCheckBoxesTwoState(int index) {
    for (const DynamicControl& control : DynamicDialog(static_cast<WORD>(index))->Controls) {
        ui::Window window(control.Window);
        const LONG_PTR type = window.Style() & BS_TYPEMASK;
        if (control.Kind != KindButton || (type != BS_AUTO3STATE && type != BS_AUTOCHECKBOX))
            continue;
        if (type == BS_AUTO3STATE)
            window.Send(BM_SETSTYLE,
                        static_cast<WPARAM>((window.Style() & ~BS_TYPEMASK) | BS_AUTOCHECKBOX),
                        FALSE);
        if (window.Text().empty())
            window.Hide();
    }
}

} // namespace quota
