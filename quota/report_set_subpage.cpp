// "Report Set To Execute": the report set the threshold runs and its schedule, with a time
// control in place of the time-of-day edit and two day check-lists.
#include "base/handles.h"
#include "base/resource_text.h"
#include "quota/threshold_page.h"
#include "res/resource.h"
#include "server/template_chooser.h"
#include "ui/button_bitmap.h"
#include "ui/wait_cursor.h"

#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>
#include <sstream>

namespace quota {

namespace {

enum ScheduleChoice { Immediately = 0, Today = 1, Tomorrow = 2, Next = 3 };
constexpr int kWeekDays = 7;
constexpr int kMonthDays = 31;
constexpr char kTimeFormat[] = "h:mm:ss tt";

void FillCheckList(HWND list, UINT textId, char separator) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    GetClientRect(list, &client);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    std::istringstream texts(base::LoadText(textId));
    int index = 0;
    for (std::string text; std::getline(texts, text, separator); ++index) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = text.data();
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CheckItems(HWND list, uint32_t mask, int count) {
    for (int i = 0; i < count; ++i)
        ListView_SetCheckState(list, i, (mask >> i) & 1u);
}

uint32_t CheckedItems(HWND list, int count) {
    uint32_t mask = 0;
    for (int i = 0; i < count; ++i) {
        if (ListView_GetCheckState(list, i))
            mask |= 1u << i;
    }
    return mask;
}

// The stored job time on today's date; the current time when it is empty or unreadable.
SYSTEMTIME JobTime(const char* stored) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::wstring text(stored, stored + strnlen(stored, kScheduleTimeSize - 1));
    DATE date = 0;
    SYSTEMTIME parsed{};
    if (text.empty() || FAILED(VarDateFromStr(text.data(), LOCALE_USER_DEFAULT, 0, &date)) ||
        !VariantTimeToSystemTime(date, &parsed))
        return now;
    now.wHour = parsed.wHour;
    now.wMinute = parsed.wMinute;
    now.wSecond = parsed.wSecond;
    now.wMilliseconds = 0;
    return now;
}

// The time of day of `value` as the user's locale writes a time without a date.
std::string FormatJobTime(const SYSTEMTIME& value) {
    SYSTEMTIME timeOnly{1899, 12, 6, 30, value.wHour, value.wMinute, value.wSecond, 0};
    DATE date = 0;
    BSTR text = nullptr;
    if (!SystemTimeToVariantTime(&timeOnly, &date) ||
        FAILED(VarBstrFromDate(date, LOCALE_USER_DEFAULT, 0, &text)))
        return {};
    std::string result;
    for (const wchar_t* c = text; *c && result.size() < kScheduleTimeSize - 1; ++c)
        result += static_cast<char>(*c);
    SysFreeString(text);
    return result;
}

// The days-of-week bit of the local date: the weekday w (0 Sunday) for Monday to Saturday, and
// bit 6 on Sunday.
uint8_t TomorrowMask() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return static_cast<uint8_t>(1u << (now.wDayOfWeek == 0 ? 6 : now.wDayOfWeek));
}

class ReportSetSubPage : public ThresholdSubPage {
public:
    WORD TemplateId() const override { return IDD_REPORT_SET_SUBPAGE; }
    UINT ItemTextId() const override { return IDS_CONFIG_REPORT_SET; }

    void Load(CPage& page, bool first) override {
        const AllotrixActionRec& action = page.Action();
        if (first)
            SetUp(page);
        page.ShowItem(IDC_TIME_OF_DAY, false);
        // A template reloads hidden sub-pages too: the time shows only with its sub-page.
        if (GetWindowLongA(page.Item(IDC_REPORT_SET_NAME), GWL_STYLE) & WS_VISIBLE)
            ShowWindow(m_time, SW_SHOWNA);
        page.SendItem(IDC_SCHEDULE_INTERVAL, CB_SETCURSEL, action.ScheduleChoice);
        SYSTEMTIME time = JobTime(action.ScheduleJobTime);
        SendMessageA(m_time, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
        CheckItems(page.Item(IDC_DAYS_OF_WEEK), action.DaysOfWeek, kWeekDays);
        CheckItems(page.Item(IDC_DAYS_OF_MONTH), action.DaysOfMonth, kMonthDays);
        page.SetItemText(
            IDC_REPORT_SET_NAME,
            std::string(action.ReportSet, strnlen(action.ReportSet, kReportSetSize - 1)));
        Enable(page);
    }

    bool Save(CPage& page) override {
        AllotrixActionRec& action = page.Action();
        action.SetReportSet(page.ItemText(IDC_REPORT_SET_NAME).c_str());
        const auto choice =
            std::max<LRESULT>(page.SendItem(IDC_SCHEDULE_INTERVAL, CB_GETCURSEL), 0);
        action.ScheduleChoice = static_cast<uint8_t>(choice);
        action.DaysOfWeek = 0;
        action.DaysOfMonth = 0;
        if (choice == Tomorrow)
            action.DaysOfWeek = TomorrowMask();
        if (choice == Next) {
            action.DaysOfMonth = CheckedItems(page.Item(IDC_DAYS_OF_MONTH), kMonthDays);
            action.DaysOfWeek =
                static_cast<uint8_t>(CheckedItems(page.Item(IDC_DAYS_OF_WEEK), kWeekDays));
        }
        std::string jobTime;
        if (choice != Immediately) {
            SYSTEMTIME time{};
            SendMessageA(m_time, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
            jobTime = FormatJobTime(time);
        }
        std::fill(std::begin(action.ScheduleJobTime), std::end(action.ScheduleJobTime), '\0');
        jobTime.copy(action.ScheduleJobTime, kScheduleTimeSize - 1);
        return true;
    }

    bool OnCommand(CPage& page, UINT id, UINT code) override {
        switch (id) {
        case IDC_REPORT_SET_NAME:
            if (code == EN_CHANGE)
                Enable(page);
            return true;
        case IDC_SCHEDULE_INTERVAL:
            if (code == CBN_SELCHANGE)
                Enable(page);
            return true;
        case IDC_BROWSE_REPORT_SET:
            ChooseReportSet(page);
            return true;
        default:
            return false;
        }
    }

    void Hide(CPage& /*page*/) override { ShowWindow(m_time, SW_HIDE); }

private:
    void SetUp(CPage& page) {
        page.SendItem(IDC_REPORT_SET_NAME, EM_LIMITTEXT, kReportSetSize - 1);
        ui::SetButtonBitmap(page.Item(IDC_BROWSE_REPORT_SET), IDB_BROWSE, m_browseBitmap);
        std::istringstream choices(base::LoadText(IDS_SCHEDULE_CHOICES));
        for (std::string choice; std::getline(choices, choice, ',');)
            page.SendItem(IDC_SCHEDULE_INTERVAL, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(choice.c_str()));
        FillCheckList(page.Item(IDC_DAYS_OF_WEEK), IDS_WEEK_DAYS, ';');
        FillCheckList(page.Item(IDC_DAYS_OF_MONTH), IDS_MONTH_DAYS, ';');
        CreateTimeControl(page);
    }

    // The time control, a child of the page, takes the place and the tab position of the edit.
    void CreateTimeControl(CPage& page) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
        InitCommonControlsEx(&controls);
        HWND edit = page.Item(IDC_TIME_OF_DAY);
        RECT place{};
        GetWindowRect(edit, &place);
        MapWindowPoints(nullptr, page.Handle(), reinterpret_cast<POINT*>(&place), 2);
        m_time = CreateWindowExA(0, DATETIMEPICK_CLASSA, "",
                                 WS_CHILD | WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, place.left,
                                 place.top, place.right - place.left, place.bottom - place.top,
                                 page.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(m_time, WM_SETFONT, page.Send(WM_GETFONT), TRUE);
        SendMessageA(m_time, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(kTimeFormat));
        SetWindowPos(m_time, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    // Without a report set nothing of the schedule applies; the time only for a later start,
    // the days only for "Next".
    void Enable(CPage& page) const {
        const bool named = !page.ItemText(IDC_REPORT_SET_NAME).empty();
        const auto choice = page.SendItem(IDC_SCHEDULE_INTERVAL, CB_GETCURSEL);
        for (int id = IDC_SCHEDULE_INTERVAL_LABEL; id <= IDC_DAYS_OF_MONTH; ++id)
            page.EnableItem(id, named);
        const bool timed = named && choice != Immediately;
        EnableWindow(m_time, timed);
        page.EnableItem(IDC_TIME_OF_DAY_LABEL, timed);
        for (int id = IDC_DAYS_OF_WEEK_LABEL; id <= IDC_DAYS_OF_MONTH; ++id)
            page.EnableItem(id, named && choice == Next);
    }

    static void ChooseReportSet(CPage& page) {
        ui::WaitCursor wait;
        CTemplateChooserDlg chooser(CTemplateChooserDlg::ReportSets, page.ServerName().c_str(),
                                    page.Handle());
        if (chooser.DoModal() == IDOK)
            page.SetItemText(IDC_REPORT_SET_NAME,
                             chooser.ComputerName() + "\\" + chooser.ChosenName());
    }

    HWND m_time = nullptr; // destroyed with the page
    base::UniqueBitmap m_browseBitmap;
};

} // namespace

std::unique_ptr<ThresholdSubPage> MakeReportSetSubPage() {
    return std::make_unique<ReportSetSubPage>();
}

} // namespace quota
