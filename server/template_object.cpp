#include "server/template_object.h"

#include "server/template_apply.h"

#include <cstdio>

namespace {

void KeepIdentity(AllotrixDbRec& record, const AllotrixBaseDbRec& object, const char* device,
                  const char* file) {
    record.SetFileOwner(object.GetFileOwner());
    record.TurnAttributeOff(AttrRenamed);
    for (eQuotaDriverAttributeFlags flag : {AttrAbsolute, AttrGlobalGroupOwner, AttrGroupOwner}) {
        if (object.IsAttributeSet(flag))
            record.TurnAttributeOn(flag);
        else
            record.TurnAttributeOff(flag);
    }
    if (record.IsAttributeSet(AttrAbsolute))
        record.TurnAttributeOff(AttrExcludeFromAbsolute);
    record.SetObjectName(device, file);
}

void ResolveDeviceQuota(AllotrixDbRec& record, uint64_t deviceSize) {
    if (record.IsAttributeSet(AttrUseDeviceSize))
        record.SetPermQuota(deviceSize);
    else if (record.IsAttributeSet(AttrPercentOfDevice))
        record.SetPermQuota(deviceSize * record.GetPermQuota() / 100);
}

} // namespace

uint32_t ApplyTemplateToObject(AXCli& client, AllotrixBaseDbRec& object,
                               const QuotaEditRecord& source) {
    const char* mappedName = object.GetMappedName(1);
    char objectName[kFileNameSize] = {};
    uint64_t deviceSize = 0;
    int unused = 0;
    if (uint32_t status =
            client.ParseObjectName(mappedName, sizeof objectName, objectName, &deviceSize, &unused))
        return status;
    char device[kDeviceNameSize] = {};
    char file[kFileNameSize] = {};
    if (uint32_t status = client.ParseDeviceFile(device, file, mappedName, nullptr))
        return status;

    AllotrixDbRec record;
    char owner[kOwnerNameSize] = {};
    snprintf(owner, sizeof owner, "%s", object.GetFileOwner());
    uint32_t status = client.Get(&record, device, file, owner, 0);
    if (status == kAxNotRunning)
        record = AllotrixDbRec(); // no quota there yet: start from a fresh record
    else if (status != kAxOk)
        return status;

    ApplyTemplate(record, source);
    KeepIdentity(record, object, device, file);
    ResolveDeviceQuota(record, deviceSize);

    status = client.Save(&record, 0);
    if (status == kAxOk)
        object = record;
    return status;
}
