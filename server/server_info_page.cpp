#include "server/server_info_page.h"

#include "base/error_text.h"
#include "client/axcli.h"
#include "res/resource.h"
#include "ui/message_box.h"
#include "base/resource_text.h"

#include <cstdio>

namespace {

constexpr COLORREF kProductPictureBackground = RGB(0xC0, 0xC0, 0xC0);
constexpr DWORD kErrorTextSize = 1024;

template <typename... Args> std::string Format(UINT formatId, Args... args) {
    std::string format = base::LoadText(formatId);
    char text[512] = {};
    snprintf(text, sizeof text, format.c_str(), args...);
    return text;
}

} // namespace

std::string FormatVersionText(const ServerVersion& version) {
    std::string text =
        Format(IDS_APPLICATION_VERSION, version.appVersion, version.appBuild, version.appText);
    if (version.driverMajor != 0) {
        text += "\r\n" + Format(IDS_DRIVER_VERSION, int{version.driverMajor},
                                int{version.driverMinor}, int{version.driverBuild});
        text += "\r\n" + Format(IDS_DRIVER_DATE, version.driverDate);
    }
    return text;
}

CServerInfoPage::CServerInfoPage() : ui::PropertyPage(IDD_SERVER_INFO) {}

void CServerInfoPage::SetServer(AXCli* client, const std::string& server) {
    m_client = client;
    m_server = server;
}

bool CServerInfoPage::OnInitDialog() {
    ui::PropertyPage::OnInitDialog();
    ReadVersionText();

    LOGFONTA font{};
    GetObjectA(Font(), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    m_boldFont.Reset(CreateFontIndirectA(&font));
    for (int label : {IDC_VERSION_LABEL, IDC_SUPPORT_LABEL})
        SendItem(label, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont.Get()), TRUE);

    bool monitorOnly = m_client && m_client->ServerKind == kServerKindMonitorOnly;
    m_picture.SetPicture(monitorOnly ? IDB_MONITOR_PRODUCT_PICTURE : IDB_PRODUCT_PICTURE, true,
                         kProductPictureBackground);
    m_picture.TakeOver(m_hwnd, IDC_PAGE_PICTURE);
    UpdateData(false);
    return true;
}

void CServerInfoPage::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_VERSION_TEXT, m_versionText);
}

void CServerInfoPage::ReadVersionText() {
    ServerVersion version;
    char unused4[80], unused5[80], unused6[32], unused7[260];
    uint32_t status =
        m_client ? m_client->GetProperties(version.appVersion, version.appBuild, version.appText,
                                           unused4, unused5, unused6, unused7, &version.driverMinor,
                                           &version.driverMajor, &version.driverBuild,
                                           version.driverDate, nullptr)
                 : ERROR_NOT_CONNECTED;
    if (status != ERROR_SUCCESS) {
        char reason[kErrorTextSize] = {};
        GetErrorText(status, reason, sizeof reason);
        ui::ShowMessage(m_hwnd, Format(IDS_SERVER_INFO_FAILED, reason));
        return;
    }
    m_versionText = FormatVersionText(version);
}
