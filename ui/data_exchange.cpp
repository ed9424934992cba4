#include "ui/data_exchange.h"

#include "ui/message_box.h"
#include "ui/window.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A whole number spelled with optional sign and digits only; false for anything else or a value
// beyond 64 bits.
bool ParseWhole(const std::string& text, long long& value) {
    std::string trimmed = Trimmed(text);
    size_t digits = trimmed.find_first_not_of("+-");
    if (trimmed.empty() || digits > 1 || digits == trimmed.size() ||
        trimmed.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    errno = 0;
    value = std::strtoll(trimmed.c_str(), nullptr, 10);
    return errno != ERANGE;
}

bool ParseReal(const std::string& text, double& value) {
    std::string trimmed = Trimmed(text);
    if (trimmed.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(trimmed.c_str(), &end);
    return *end == '\0' && errno != ERANGE && std::isfinite(value);
}

std::string WholeNumberMessage(long long minimum, long long maximum, bool unbounded) {
    if (unbounded)
        return "Please enter a whole number.";
    return "Please enter a whole number between " + std::to_string(minimum) + " and " +
           std::to_string(maximum) + ".";
}

std::string RealText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

bool IsEdit(HWND control) {
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, "Edit") == 0;
}

} // namespace

void DataExchange::Fail(int id, const std::string& message) {
    if (m_failed)
        return;
    m_failed = true;
    ShowMessage(m_dialog, message);
    HWND control = GetDlgItem(m_dialog, id);
    if (!control)
        return;
    SetFocus(control);
    if (IsEdit(control))
        SendMessageA(control, EM_SETSEL, 0, -1);
}

void DataExchange::Text(int id, std::string& value) {
    if (!Active())
        return;
    Window dialog(m_dialog);
    if (Saving())
        value = dialog.ItemText(id);
    else
        dialog.SetItemText(id, value);
}

bool DataExchange::ExchangeWhole(int id, long long& value, long long minimum, long long maximum,
                                 bool unbounded) {
    if (!Active())
        return false;
    Window dialog(m_dialog);
    if (!Saving()) {
        dialog.SetItemText(id, std::to_string(value));
        return false;
    }
    long long parsed = 0;
    if (!ParseWhole(dialog.ItemText(id), parsed) || parsed < minimum || parsed > maximum) {
        Fail(id, WholeNumberMessage(minimum, maximum, unbounded));
        return false;
    }
    value = parsed;
    return true;
}

void DataExchange::Text(int id, unsigned& value, unsigned minimum, unsigned maximum) {
    long long number = value;
    if (ExchangeWhole(id, number, minimum, maximum, minimum == 0 && maximum == UINT_MAX))
        value = static_cast<unsigned>(number);
}

void DataExchange::Text(int id, double& value, double minimum, double maximum) {
    if (!Active())
        return;
    Window dialog(m_dialog);
    if (!Saving()) {
        dialog.SetItemText(id, RealText(value));
        return;
    }
    double parsed = 0;
    if (!ParseReal(dialog.ItemText(id), parsed))
        return Fail(id, "Please enter a number.");
    if (parsed < minimum || parsed > maximum)
        return Fail(id, "Please enter a number between " + RealText(minimum) + " and " +
                            RealText(maximum) + ".");
    value = parsed;
}

void DataExchange::MaxLength(int id, unsigned length) {
    if (!Active())
        return;
    Window dialog(m_dialog);
    if (!Saving()) {
        dialog.SendItem(id, EM_LIMITTEXT, length);
        return;
    }
    if (dialog.ItemText(id).size() > length)
        Fail(id, "Please enter no more than " + std::to_string(length) + " characters.");
}

void DataExchange::Check(int id, int& state) {
    if (!Active())
        return;
    if (Saving())
        state = static_cast<int>(IsDlgButtonChecked(m_dialog, id));
    else
        CheckDlgButton(m_dialog, id, static_cast<UINT>(state));
}

void DataExchange::Check(int id, bool& checked) {
    int state = checked ? BST_CHECKED : BST_UNCHECKED;
    Check(id, state);
    checked = state == BST_CHECKED;
}

void DataExchange::ComboIndex(int id, int& index) {
    if (!Active())
        return;
    Window dialog(m_dialog);
    if (Saving())
        index = static_cast<int>(dialog.SendItem(id, CB_GETCURSEL));
    else
        dialog.SendItem(id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void DataExchange::Radio(int firstId, int& index) {
    if (!Active())
        return;
    HWND first = GetDlgItem(m_dialog, firstId);
    int position = 0;
    bool found = false;
    for (HWND button = first; button; ++position) {
        if (Saving()) {
            if (!found && SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                index = position;
                found = true;
            }
        } else {
            SendMessageA(button, BM_SETCHECK, position == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        button = GetWindow(button, GW_HWNDNEXT);
        if (button && (GetWindowLongPtrA(button, GWL_STYLE) & WS_GROUP))
            break;
    }
    if (Saving() && !found)
        index = -1;
}

} // namespace ui
