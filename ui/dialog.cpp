#include "ui/dialog.h"

namespace ui {

namespace {

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

} // namespace

Dialog::Dialog(UINT templateId, HWND parent, HINSTANCE instance)
    : m_templateId(templateId), m_parent(parent),
      m_instance(instance ? instance : GetModuleHandleA(nullptr)) {}

Dialog::~Dialog() {
    if (m_hwnd && !m_modal)
        DestroyWindow(m_hwnd);
}

INT_PTR Dialog::DoModal() {
    if (m_hwnd)
        return -1;
    m_modal = true;
    return DialogBoxParamA(m_instance, MAKEINTRESOURCEA(m_templateId), m_parent, DialogProcedure,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless() {
    if (m_hwnd)
        return false;
    m_modal = false;
    return CreateDialogParamA(m_instance, MAKEINTRESOURCEA(m_templateId), m_parent, DialogProcedure,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::End(INT_PTR result) {
    if (m_modal)
        EndDialog(m_hwnd, result);
    else
        DestroyWindow(m_hwnd);
}

bool Dialog::UpdateData(bool save) {
    DataExchange exchange(m_hwnd,
                          save ? DataExchange::Direction::Save : DataExchange::Direction::Load);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

bool Dialog::PreTranslateMessage(MSG& msg) {
    return !m_modal && IsDialogMessageA(m_hwnd, &msg);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true))
        End(IDOK);
}

void Dialog::OnCancel() {
    End(IDCANCEL);
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog() ? TRUE : FALSE;
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return true;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return true;
            }
        }
        break;
    default:
        break;
    }
    return WindowBase::OnMessage(message, wParam, lParam, result);
}

INT_PTR Dialog::RunDialogProcedure(Dialog* dialog, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        dialog->Unlink();
        dialog->OnFinalMessage();
        return FALSE;
    }
    LRESULT result = 0;
    if (!dialog->OnMessage(message, wParam, lParam, result))
        return FALSE;
    if (ReturnsResultDirectly(message))
        return result;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        reinterpret_cast<Dialog*>(lParam)->Link(window);
    auto* dialog = static_cast<Dialog*>(FromHandle(window));
    return dialog ? RunDialogProcedure(dialog, window, message, wParam, lParam) : FALSE;
}

} // namespace ui
