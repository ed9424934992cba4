// Properties of a quota row (the Properties command and the double click on a data row): the
// row's complete record is read from its server, edited in the quota property sheet and saved.
#include "base/error_text.h"
#include "client/axcli.h"
#include "monitor/ax_mon_view.h"
#include "base/resource_text.h"
#include "quota/quota_prop_sheet.h"
#include "res/resource.h"
#include "server/quota_edit_record.h"
#include "ui/message_box.h"
#include "ui/wait_cursor.h"

#include <memory>
#include <new>

namespace monitor {

void CAXMonView::OnPropertiesCommand() {
    if (const int row = CurrentDataRow())
        OnRowProperties(row);
}

void CAXMonView::OnRowProperties(int row) {
    StopRefreshTimer();
    if (EditRowProperties(row))
        Redraw();
    StartRefreshTimer(0);
}

bool CAXMonView::EditRowProperties(int row) {
    ui::WaitCursor wait;
    MonitorEntry* entry = EntryOfRow(row);
    if (!entry)
        return false;
    std::unique_ptr<AXCli> client(new (std::nothrow) AXCli);
    if (!client) {
        ui::ShowMessage(Handle(), base::LoadText(IDS_NOT_ENOUGH_MEMORY), MB_OK);
        return false;
    }
    client->Connect(entry->serverName.c_str());

    const char* mappedName = entry->record.GetMappedName(1);
    char objectName[260] = "";
    uint64_t capacity = 0;
    int unused = 0;
    char device[64] = "", file[260] = "";
    uint32_t status =
        client->ParseObjectName(mappedName, sizeof objectName, objectName, &capacity, &unused);
    if (status == 0)
        status = client->ParseDeviceFile(device, file, mappedName, nullptr);
    if (status != 0) {
        ui::ShowMessage(Handle(), ErrorText(status, 260), MB_OK);
        return false;
    }

    AllotrixDbRec full;
    status = client->Get(&full, device, file, entry->record.GetFileOwner(), 0);
    if (status != 0) {
        ui::ShowMessage(
            Handle(),
            base::LoadFormattedText(IDS_OBJECT_ERROR, {mappedName, ErrorText(status, 260)}), MB_OK);
        return false;
    }

    QuotaEditRecord edited;
    static_cast<AllotrixDbRec&>(edited) = full;
    if (quota::ShowQuotaProperties(edited, *client, capacity, entry->serverName.c_str(),
                                   Handle()) == 0)
        return true;

    ui::WaitCursor saving;
    full = static_cast<const AllotrixDbRec&>(edited);
    full.TurnAttributeOff(AttrRenamed);
    status = client->Save(&full, 1);
    if (status != 0) {
        ui::ShowMessage(Handle(), ErrorText(status, 1024), MB_OK);
        return false;
    }
    ReplaceRecord(row, full);
    return true;
}

} // namespace monitor
