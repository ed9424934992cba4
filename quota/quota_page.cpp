#include "quota/quota_page.h"

#include "quota/quota_messages.h"
#include "quota/size_units.h"
#include "res/resource.h"
#include "ui/message_box.h"
#include "base/resource_text.h"

namespace quota {

namespace {

constexpr COLORREF kPictureBackground = RGB(198, 198, 198);
// The largest value either number takes (the framework's range for the permanent quota).
constexpr double kLargestValue = 1.8e18;
constexpr int kCheckBoxes[] = {IDC_WRITE_THROUGH,    IDC_DISK_FULL,
                               IDC_NO_ENFORCE,       IDC_EXCLUDE_FROM_ABSOLUTE,
                               IDC_RESET_HIGH_WATER, IDC_USE_DEVICE_CAPACITY};

void SetAttribute(AllotrixBaseDbRec& record, eQuotaDriverAttributeFlags flag, bool on) {
    if (on)
        record.TurnAttributeOn(flag);
    else
        record.TurnAttributeOff(flag);
}

int Flag(const AllotrixBaseDbRec& record, eQuotaDriverAttributeFlags flag) {
    return record.IsAttributeSet(flag) ? BST_CHECKED : BST_UNCHECKED;
}

} // namespace

CPageQuota::CPageQuota(QuotaEditRecord& record, uint64_t capacity)
    : ui::PropertyPage(IDD_QUOTA_PAGE), m_record(record), m_capacity(capacity) {}

bool CPageQuota::OnInitDialog() {
    m_picture.SetPicture(IDB_QUOTA_PICTURE, true, kPictureBackground);
    m_picture.SubclassDlgItem(IDC_PAGE_PICTURE, m_hwnd);
    m_fillBitmap.Reset(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                       MAKEINTRESOURCEA(IDB_FILL_CAPACITY),
                                                       IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    SendItem(IDC_FILL_CAPACITY, BM_SETIMAGE, IMAGE_BITMAP,
             reinterpret_cast<LPARAM>(m_fillBitmap.Get()));
    for (int unit = PermBytes; unit <= PermPercentOfDevice; ++unit) {
        const std::string text = base::LoadText(IDS_UNIT_BYTES + static_cast<UINT>(unit));
        SendItem(IDC_PERM_QUOTA_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (unit <= PermMegabytes)
            SendItem(IDC_OVERDRAFT_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    ShowItem(IDC_QUOTA_SPARE1, false);
    ShowItem(IDC_QUOTA_SPARE2, false);
    for (int id : kCheckBoxes)
        SendItem(id, BM_SETSTYLE, BS_AUTOCHECKBOX, FALSE);
    ShowItem(IDC_USE_DEVICE_CAPACITY, false);
    if (m_capacity == 0) {
        ShowItem(IDC_FILL_CAPACITY, false);
        ShowItem(IDC_USE_DEVICE_CAPACITY, true);
        EnableItem(IDC_PERM_QUOTA, true);
        EnableItem(IDC_PERM_QUOTA_UNIT, true);
    }
    Load();
    return true;
}

void CPageQuota::DoDataExchange(ui::DataExchange& exchange) {
    exchange.Check(IDC_WRITE_THROUGH, m_writeThrough);
    exchange.Check(IDC_NO_ENFORCE, m_noEnforce);
    if (exchange.Saving()) {
        exchange.Text(IDC_OVERDRAFT, m_overdraft, 0, kLargestValue);
        exchange.Text(IDC_PERM_QUOTA, m_permQuota, 0, kLargestValue);
    } else {
        SetItemText(IDC_OVERDRAFT, FormatWholeNumber(m_overdraft));
        SetItemText(IDC_PERM_QUOTA, FormatWholeNumber(m_permQuota));
    }
    exchange.Check(IDC_EXCLUDE_FROM_ABSOLUTE, m_exclude);
    exchange.Check(IDC_DISK_FULL, m_diskFull);
    exchange.Check(IDC_RESET_HIGH_WATER, m_resetHighWater);
    exchange.Check(IDC_USE_DEVICE_CAPACITY, m_useCapacity);
}

// Record to controls: each size in the largest unit that divides it.
void CPageQuota::Load() {
    const uint64_t perm = m_record.GetPermQuota();
    int unit = PermMegabytes;
    if (m_record.IsAttributeSet(AttrPercentOfDevice) ||
        m_record.IsAttributeSet(AttrPercentOfCurrentUsed)) {
        unit =
            m_record.IsAttributeSet(AttrPercentOfDevice) ? PermPercentOfDevice : PermPercentOfUsed;
        m_permQuota = perm != 0 ? static_cast<double>(perm) : 10.0;
    } else {
        const SizeInUnit shown = SplitSize(perm != 0 ? perm : m_capacity);
        unit = shown.Unit;
        m_permQuota = static_cast<double>(shown.Value);
    }
    SendItem(IDC_PERM_QUOTA_UNIT, CB_SETCURSEL, static_cast<WPARAM>(unit));
    const SizeInUnit overdraft = SplitSize(m_record.GetOverDraft());
    m_overdraft = static_cast<double>(overdraft.Value);
    SendItem(IDC_OVERDRAFT_UNIT, CB_SETCURSEL, static_cast<WPARAM>(overdraft.Unit));

    m_writeThrough = Flag(m_record, AttrWriteThrough);
    m_noEnforce = Flag(m_record, AttrNoEnforce);
    m_diskFull = Flag(m_record, AttrDiskFull);
    m_resetHighWater = Flag(m_record, AttrResetHighWater);
    if (m_record.IsAttributeSet(AttrAbsolute)) {
        m_record.TurnAttributeOff(AttrExcludeFromAbsolute);
        EnableItem(IDC_EXCLUDE_FROM_ABSOLUTE, false);
    }
    m_exclude = Flag(m_record, AttrExcludeFromAbsolute);
    m_useCapacity = BST_UNCHECKED;
    UpdateData(false);

    if (m_record.IsAttributeSet(AttrUseDeviceSize)) {
        FillCapacity();
        if (m_capacity == 0) {
            m_useCapacity = BST_CHECKED;
            CheckButton(IDC_USE_DEVICE_CAPACITY);
            EnableItem(IDC_PERM_QUOTA, false);
            EnableItem(IDC_PERM_QUOTA_UNIT, false);
        }
    }
}

void CPageQuota::FillCapacity() {
    const SizeInUnit shown = SplitSize(m_capacity);
    m_permQuota = static_cast<double>(shown.Value);
    SetItemText(IDC_PERM_QUOTA, FormatWholeNumber(m_permQuota));
    SendItem(IDC_PERM_QUOTA_UNIT, CB_SETCURSEL, static_cast<WPARAM>(shown.Unit));
}

bool CPageQuota::RefusesZeroQuota() const {
    return !IsButtonChecked(IDC_USE_DEVICE_CAPACITY);
}

void CPageQuota::ShowZeroQuotaMessage() {
    ui::ShowMessage(m_hwnd, base::LoadText(IDS_ZERO_PERM_QUOTA));
}

bool CPageQuota::OnKillActive() {
    if (!UpdateData(true))
        return false;
    if (m_permQuota == 0.0 && RefusesZeroQuota()) {
        ShowZeroQuotaMessage();
        SendItem(IDC_PERM_QUOTA, EM_SETSEL, 0, -1);
        SendItem(IDC_PERM_QUOTA, EM_SCROLLCARET);
        FocusItem(IDC_PERM_QUOTA);
        return false;
    }
    return true;
}

// Controls to record, when the sheet closes with OK.
void CPageQuota::OnOK() {
    if (!UpdateData(true))
        return;
    const auto unit = static_cast<int>(SendItem(IDC_PERM_QUOTA_UNIT, CB_GETCURSEL));
    const uint64_t quota = BytesOf(m_permQuota, unit <= PermMegabytes ? unit : UnitBytes);
    if (quota == 0 && RefusesZeroQuota()) {
        ShowZeroQuotaMessage();
        return;
    }
    m_record.TurnAttributeOff(AttrPercentOfCurrentUsed);
    m_record.TurnAttributeOff(AttrPercentOfDevice);
    if (unit == PermPercentOfUsed)
        m_record.TurnAttributeOn(AttrPercentOfCurrentUsed);
    else if (unit == PermPercentOfDevice)
        m_record.TurnAttributeOn(AttrPercentOfDevice);
    m_record.SetPermQuota(quota);
    m_record.SetOverDraft(
        BytesOf(m_overdraft, static_cast<int>(SendItem(IDC_OVERDRAFT_UNIT, CB_GETCURSEL))));

    SetAttribute(m_record, AttrWriteThrough, m_writeThrough == BST_CHECKED);
    SetAttribute(m_record, AttrNoEnforce, m_noEnforce == BST_CHECKED);
    SetAttribute(m_record, AttrExcludeFromAbsolute, m_exclude == BST_CHECKED);
    SetAttribute(m_record, AttrDiskFull, m_diskFull == BST_CHECKED);
    SetAttribute(m_record, AttrResetHighWater, m_resetHighWater == BST_CHECKED);
    SetAttribute(m_record, AttrUseDeviceSize, m_useCapacity == BST_CHECKED);
    ui::PropertyPage::OnOK();
}

bool CPageQuota::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_USE_DEVICE_CAPACITY:
        if (code == BN_CLICKED) {
            UpdateData(true);
            const bool typed = !IsButtonChecked(IDC_USE_DEVICE_CAPACITY);
            EnableItem(IDC_PERM_QUOTA, typed);
            EnableItem(IDC_PERM_QUOTA_UNIT, typed);
        }
        return true;
    case IDC_FILL_CAPACITY:
        if (code == BN_CLICKED)
            FillCapacity();
        return true;
    default:
        return ui::PropertyPage::OnCommand(id, code, control);
    }
}

bool CPageQuota::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_AXQUOTA_RELOAD) {
        Load();
        result = 0;
        return true;
    }
    return ui::PropertyPage::OnMessage(message, wParam, lParam, result);
}

} // namespace quota
