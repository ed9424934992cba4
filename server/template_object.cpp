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

bool NeedsDeviceSize(const AllotrixDbRec& record) {
    return record.IsAttributeSet(AttrUseDeviceSize) || record.IsAttributeSet(AttrPercentOfDevice);
}

// The capacity of `device` as the server reports it.
uint32_t QueryDeviceSize(AXCli& client, const char* device, uint64_t& size) {
    unsigned long type = 0;
    int clusterSize = 0;
    int64_t capacity = 0;
    int64_t freeBytes = 0;
    uint32_t status = client.GetDeviceInfo(device, &type, &clusterSize, &capacity, &freeBytes);
    if (status == kAxRetryDeviceInfo1 || status == kAxRetryDeviceInfo2)
        status = client.GetDeviceInfo(device, &type, &clusterSize, &capacity, &freeBytes);
    if (status == kAxOk)
        size = static_cast<uint64_t>(capacity);
    return status;
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
    if (NeedsDeviceSize(record) && deviceSize == 0) {
        // A library that does not report the device's size with the object name is asked for
        // the device's capacity instead.
        if (uint32_t status = QueryDeviceSize(client, device, deviceSize))
            return status;
    }
    ResolveDeviceQuota(record, deviceSize);

    status = client.Save(&record, 0);
    if (status == kAxOk)
        object = record;
    return status;
}
