// The Monitor Frequency dialog: seconds between the end of one refresh and the start of the next.
#pragma once

#include "ui/dialog.h"

// The largest frequency: its milliseconds must fit in 32 bits.
constexpr unsigned kMaxFrequencySeconds = 4294967;

class CFrequencyDlg : public ui::Dialog {
public:
    CFrequencyDlg(unsigned seconds, HWND parent);
    unsigned Seconds() const { return m_seconds; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void DoDataExchange(ui::DataExchange& exchange) override;

private:
    void EnableOkForValue();

    unsigned m_seconds;
};
