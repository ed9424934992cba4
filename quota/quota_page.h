// The "Quota" page of the quota property sheet: permanent quota and overdraft with their units,
// and the quota's options.
#pragma once

#include "server/quota_edit_record.h"
#include "base/handles.h"
#include "ui/picture_ctrl.h"
#include "ui/property_sheet.h"

#include <cstdint>

namespace quota {

// The units of the permanent quota, in list order; the overdraft offers the first three.
enum PermQuotaUnit : int {
    PermBytes,
    PermKilobytes,
    PermMegabytes,
    PermPercentOfUsed,
    PermPercentOfDevice
};

class CPageQuota : public ui::PropertyPage {
public:
    // `capacity`: the bytes of the object's device, 0 when unknown.
    CPageQuota(QuotaEditRecord& record, uint64_t capacity);

protected:
    bool OnInitDialog() override;
    bool OnKillActive() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void Load();
    void FillCapacity();
    void ShowSize(uint64_t bytes, int valueId, int unitId, double& value);
    bool RefusesZeroQuota() const;
    void ShowZeroQuotaMessage();

    QuotaEditRecord& m_record;
    uint64_t m_capacity;
    int m_writeThrough = 0;
    int m_noEnforce = 0;
    double m_overdraft = 0;
    double m_permQuota = 0;
    int m_exclude = 0;
    int m_diskFull = 0;
    int m_resetHighWater = 0;
    int m_useCapacity = 0;
    ui::CPictureCtrl m_picture;
    base::UniqueBitmap m_fillBitmap;
};

} // namespace quota
