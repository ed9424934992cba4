// "Reports To Generate": the built-in reports the threshold writes, where and in which format,
// and whether they are mailed.
#include "base/handles.h"
#include "quota/threshold_page.h"
#include "res/resource.h"
#include "server/folder_chooser.h"
#include "ui/button_bitmap.h"

#include <cstring>

namespace quota {

namespace {

struct FlagButton {
    int Id;
    eQuotaPolicyAttributeFlags Flag;
};

constexpr FlagButton kReports[] = {
    {IDC_REPORT_AGED, PolReportAged},
    {IDC_REPORT_DIR_USAGE, PolReportDirUsage},
    {IDC_REPORT_DUPLICATES, PolReportDuplicates},
    {IDC_REPORT_LARGE, PolReportLarge},
    {IDC_REPORT_LAST_ACCESS, PolReportLastAccess},
    {IDC_REPORT_NEW, PolReportNew},
    {IDC_REPORT_USAGE_BY_OWNER, PolReportUsageByOwner},
    {IDC_REPORT_SUMMARY, PolReportSummary},
};
constexpr FlagButton kFormats[] = {
    {IDC_FORMAT_ASCII, PolFormatAscii},
    {IDC_FORMAT_HTML, PolFormatHtml},
    {IDC_FORMAT_COMMA, PolFormatComma},
};
// Controls that only mean something when a report is chosen.
constexpr int kOutputControls[] = {
    IDC_OUTPUT_OPTIONS,   IDC_OUTPUT_DIRECTORY_LABEL,
    IDC_OUTPUT_DIRECTORY, IDC_BROWSE_OUTPUT_DIRECTORY,
    IDC_FORMAT_ASCII,     IDC_FORMAT_HTML,
    IDC_FORMAT_COMMA,     IDC_MAIL_OPTIONS,
    IDC_MAIL_REPORT,
};
constexpr UINT kOutputDirectoryLimit = kFileNameSize - 1;

bool IsReportButton(UINT id) {
    for (const FlagButton& report : kReports) {
        if (report.Id == static_cast<int>(id))
            return true;
    }
    return false;
}

class ReportsSubPage : public ThresholdSubPage {
public:
    WORD TemplateId() const override { return IDD_REPORTS_SUBPAGE; }
    UINT ItemTextId() const override { return IDS_CONFIG_REPORTS; }

    void Load(CPage& page, bool first) override {
        const AllotrixActionRec& action = page.Action();
        if (first) {
            ui::SetButtonBitmap(page.Item(IDC_BROWSE_OUTPUT_DIRECTORY), IDB_BROWSE, m_browseBitmap);
        }
        for (const FlagButton& report : kReports)
            page.CheckButton(report.Id, action.IsPolicyFlagSet(report.Flag));
        page.SendItem(IDC_OUTPUT_DIRECTORY, EM_LIMITTEXT, kOutputDirectoryLimit);
        const char* directory = action.ReportMail.OutputDirectory;
        page.SetItemText(IDC_OUTPUT_DIRECTORY,
                         std::string(directory, strnlen(directory, kMailTextSize - 1)));
        for (const FlagButton& format : kFormats)
            page.CheckButton(format.Id, action.IsPolicyFlagSet(format.Flag));
        if (!page.IsButtonChecked(IDC_FORMAT_HTML) && !page.IsButtonChecked(IDC_FORMAT_COMMA))
            page.CheckButton(IDC_FORMAT_ASCII);
        page.CheckButton(IDC_MAIL_REPORT, action.IsPolicyFlagSet(PolMailReport));
        const bool reports = AnyReportChecked(page);
        for (int id : kOutputControls)
            page.EnableItem(id, reports);
        page.EnableItem(IDC_REPORT_MAIL_TO, reports);
    }

    bool Save(CPage& page) override {
        AllotrixActionRec& action = page.Action();
        for (const FlagButton& report : kReports)
            SetPolicyFlag(action, report.Flag, page.IsButtonChecked(report.Id));
        ReportMailInfo& mail = page.MailInfo();
        std::string directory = page.ItemText(IDC_OUTPUT_DIRECTORY);
        directory.resize(std::min(directory.size(), kMailTextSize - 1));
        std::memset(mail.OutputDirectory, 0, sizeof mail.OutputDirectory);
        directory.copy(mail.OutputDirectory, directory.size());
        for (const FlagButton& format : kFormats)
            SetPolicyFlag(action, format.Flag, page.IsButtonChecked(format.Id));
        SetPolicyFlag(action, PolMailReport, page.IsButtonChecked(IDC_MAIL_REPORT));
        action.ReportMail = mail;
        return true;
    }

    bool OnCommand(CPage& page, UINT id, UINT /*code*/) override {
        if (IsReportButton(id)) {
            EnableForReports(page);
            return true;
        }
        switch (id) {
        case IDC_MAIL_REPORT:
            SetPolicyFlag(page.Action(), PolMailReport, page.IsButtonChecked(IDC_MAIL_REPORT));
            page.EnableItem(IDC_REPORT_MAIL_TO, page.IsButtonChecked(IDC_MAIL_REPORT));
            return true;
        case IDC_BROWSE_OUTPUT_DIRECTORY: {
            CFolderChooserDlg chooser(page.Handle());
            chooser.SetClient(&page.Client());
            if (chooser.DoModal() == IDOK)
                page.SetItemText(IDC_OUTPUT_DIRECTORY, chooser.ChosenPath());
            return true;
        }
        case IDC_REPORT_MAIL_TO:
            EditPageMail(page);
            return true;
        default:
            return false;
        }
    }

private:
    static bool AnyReportChecked(const CPage& page) {
        for (const FlagButton& report : kReports) {
            if (page.IsButtonChecked(report.Id))
                return true;
        }
        return false;
    }

    static void EnableForReports(CPage& page) {
        const bool reports = AnyReportChecked(page);
        for (int id : kOutputControls)
            page.EnableItem(id, reports);
        page.EnableItem(IDC_REPORT_MAIL_TO, reports && page.IsButtonChecked(IDC_MAIL_REPORT));
    }

    base::UniqueBitmap m_browseBitmap;
};

} // namespace

std::unique_ptr<ThresholdSubPage> MakeReportsSubPage() {
    return std::make_unique<ReportsSubPage>();
}

} // namespace quota
