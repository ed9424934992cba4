#include "app/frequency_dlg.h"

#include "res/resource.h"

CFrequencyDlg::CFrequencyDlg(unsigned seconds, HWND parent)
    : Dialog(IDD_FREQUENCY, parent), m_seconds(seconds) {}

bool CFrequencyDlg::OnInitDialog() {
    bool result = Dialog::OnInitDialog();
    EnableOkForValue();
    return result;
}

bool CFrequencyDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_FREQUENCY_SECONDS && code == EN_CHANGE) {
        EnableOkForValue();
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}

void CFrequencyDlg::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Text(IDC_FREQUENCY_SECONDS, m_seconds, 0, kMaxFrequencySeconds);
}

void CFrequencyDlg::EnableOkForValue() {
    BOOL translated = FALSE;
    UINT value = GetDlgItemInt(m_hwnd, IDC_FREQUENCY_SECONDS, &translated, FALSE);
    EnableWindow(GetDlgItem(m_hwnd, IDOK), value != 0);
}
