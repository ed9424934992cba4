// The row commands on the quota of the current cell's row (Delete, Scan, Apply Template) and the
// context menu that offers them. Each suspends the refresh while it runs, so that the row stays
// what the user chose, and talks to the row's server through a client of its own.
#include "base/error_text.h"
#include "base/handles.h"
#include "base/resource_text.h"
#include "client/axcli.h"
#include "monitor/ax_mon_view.h"
#include "res/resource.h"
#include "server/quota_edit_record.h"
#include "server/template_chooser.h"
#include "server/template_object.h"
#include "server/template_reader.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"

#include <algorithm>

namespace monitor {

void CAXMonView::OnRowCommand(void (CAXMonView::*command)(int row)) {
    StopRefreshTimer();
    if (const int row = CurrentDataRow())
        (this->*command)(row);
    StartRefreshTimer(0);
}

void CAXMonView::DeleteRow(int row) {
    MonitorEntry& entry = *EntryOfRow(row);
    AllotrixBaseDbRec& record = entry.record;
    const std::string question =
        record.IsAttributeSet(AttrAbsolute)
            ? base::LoadFormattedText(IDS_DELETE_OBJECT_QUOTA, {record.GetMappedName(1)})
            : base::LoadFormattedText(IDS_DELETE_OWNER_QUOTA,
                                      {record.GetFileOwner(), record.GetMappedName(1)});
    if (ui::ShowMessage(Handle(), question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    ui::WaitCursor wait;
    AXCli client;
    uint32_t status = client.Connect(entry.serverName.c_str());
    if (status == kAxOk) {
        char file[260] = "";
        status =
            client.Delete(record.GetDeviceName(), record.GetFileName(file), record.GetFileOwner());
    }
    if (status != kAxOk) {
        ui::ShowMessage(Handle(), ErrorText(status, 260), MB_OK);
        return;
    }
    // The entry stays in the document's list until the next refresh replaces the list.
    int currentRow = 0, currentCol = 0;
    GetCurrentCell(currentRow, currentCol);
    const bool wasReadOnly = SetReadOnly(false);
    RemoveRows(row, row);
    SetReadOnly(wasReadOnly);
    // The next row takes the deleted one's place under the cursor, so that Del goes on down.
    if (GetRowCount() > 0) {
        const int next = std::min(row, GetRowCount());
        SetCurrentCell(next, currentCol);
        SetAnchorRow(next);
    }
    Redraw();
}

void CAXMonView::ScanRow(int row) {
    const MonitorEntry& entry = *EntryOfRow(row);
    AXCli client;
    uint32_t status = client.Connect(entry.serverName.c_str());
    char device[64] = "", file[260] = "";
    if (status == kAxOk)
        status = client.ParseDeviceFile(device, file, entry.record.GetMappedName(1), nullptr);
    if (status != kAxOk) {
        ui::ShowMessage(Handle(), ErrorText(status, 260), MB_OK);
        return;
    }
    // A rescan the service cannot queue shows no less in the next refresh than one it queued.
    client.Scan(device, file);
}

void CAXMonView::ApplyTemplateToRow(int row) {
    MonitorEntry& entry = *EntryOfRow(row);
    CTemplateChooserDlg chooser(CTemplateChooserDlg::Templates, entry.serverName.c_str());
    if (chooser.DoModal() != IDOK)
        return;

    ui::WaitCursor wait;
    const std::string& computer = chooser.ComputerName();
    const std::string& name = chooser.ChosenName();
    QuotaEditRecord source;
    char association[500] = {};
    const LONG read = ReadTemplate(computer.empty() ? nullptr : computer.c_str(), name.c_str(),
                                   association, source, IsFallbackTemplateName(name.c_str()));
    if (read != ERROR_SUCCESS) {
        ui::ShowMessage(Handle(), ErrorText(static_cast<DWORD>(read), 1024), MB_OK);
        return;
    }
    // The template may come from another computer; the quota is changed on the row's server.
    AXCli client;
    uint32_t status = client.Connect(entry.serverName.c_str());
    if (status == kAxOk)
        status = ApplyTemplateToObject(client, entry.record, source);
    if (status != kAxOk) {
        ui::ShowMessage(Handle(), ErrorText(status, 260), MB_OK);
        return;
    }
    FillRow(row, entry);
    Redraw();
}

void CAXMonView::OnRowContextMenu(int /*row*/, POINT screenPoint) {
    StopRefreshTimer();
    base::UniqueMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ROW_MENU)));
    if (HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr) {
        // Owned by the main window, the chosen command goes the way of every other command.
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0,
                       GetAncestor(Handle(), GA_ROOT), nullptr);
    }
    StartRefreshTimer(0);
}

} // namespace monitor
