// Prints a monitor grid of 200 quota rows under the document title given on the command line
// through the view's Print command, its Print dialog confirmed as it shows (on the printer Wine
// takes as default), and tells how many pages it printed ("pages=N") on the printer named on the
// command line. With "landscape" Print Setup chooses the landscape orientation before. The
// Server column is wider than a page.
// print_to_pdf_test.sh checks the PDF.
#include "monitor/ax_mon_view.h"
#include "res/resource.h"
#include "ui/profile.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kRows = 200;
constexpr uint64_t kMB = 1024 * 1024;

void Fill(monitor::CAXMonDoc& document) {
    for (int i = 1; i <= kRows; ++i) {
        auto entry = std::make_unique<monitor::MonitorEntry>();
        entry->serverName = "PRINTSERVER";
        char folder[32];
        std::snprintf(folder, sizeof folder, "\\Quota%03d", i);
        entry->record.SetObjectName("C:", folder);
        entry->record.SetUsedQuota(static_cast<uint64_t>(i) * kMB);
        entry->record.SetPermQuota(1000 * kMB);
        entry->record.SetAttributes(AttrAbsolute);
        document.DisplayedList().push_back(std::move(entry));
    }
}

void CALLBACK ConfirmPrintDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND dialog = FindWindowA("#32770", "Print")) {
        KillTimer(nullptr, timer);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
}

void CALLBACK ChooseLandscape(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND dialog = FindWindowA("#32770", "Print Setup")) {
        KillTimer(nullptr, timer);
        constexpr int kLandscape = 0x421; // the common dialog's second orientation button
        SendMessageA(GetDlgItem(dialog, kLandscape), BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: monitor_pdf_print PRINTER TITLE [landscape]\n");
        return 2;
    }
    ui::Profile::SetRoot("Ostrel", "KelvanePdfPrint" + std::to_string(GetCurrentProcessId()));
    ui::Profile::WriteString("AXMonitor", "ColsDisplayed",
                             "Object Name;% Space Used;Space Used;PermQuota;Server;");
    ui::Profile::WriteInt("AXMonitor", "Server", 1200);
    HWND host = CreateWindowExA(0, "STATIC", argv[2], WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    monitor::CAXMonDoc document;
    Fill(document);
    document.SetTitle(nullptr);
    monitor::CAXMonView view(document);
    view.SetStartedHidden(true);
    if (!host || !view.Create(host, {0, 0, 780, 580}, 1)) {
        std::fprintf(stderr, "cannot create the monitor view\n");
        return 1;
    }
    view.OnInitialUpdate();

    const std::string mode = argc > 3 ? argv[3] : "";
    base::UniqueDc printer(CreateDCA("WINSPOOL", argv[1], nullptr, nullptr));
    if (!printer) {
        std::fprintf(stderr, "no printer %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    if (mode == "landscape") {
        SetTimer(nullptr, 0, 50, ChooseLandscape);
        view.RouteCommand(ID_FILE_PRINT_SETUP, 0, nullptr);
        printer = view.PrinterChoice().CreateInformationContext();
        if (!printer) {
            std::fprintf(stderr, "no printer chosen in Print Setup\n");
            return 1;
        }
    }
    const SIZE page{GetDeviceCaps(printer.Get(), HORZRES), GetDeviceCaps(printer.Get(), VERTRES)};
    const int pages = view.GetPrintPageCount(page, GetDeviceCaps(printer.Get(), LOGPIXELSY));
    SetTimer(nullptr, 0, 50, ConfirmPrintDialog);
    view.RouteCommand(ID_FILE_PRINT, 0, nullptr);
    std::printf("pages=%d\n", pages);
    RegDeleteTreeA(HKEY_CURRENT_USER, ui::Profile::RootPath().c_str());
    DestroyWindow(view.Handle());
    DestroyWindow(host);
    return 0;
}
