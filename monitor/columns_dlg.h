// The Columns dialog: which columns the monitor grid shows, in which order (the displayed list
// is reordered by dragging or with Move Up and Move Down), and the unit of the size columns.
// A double click moves an item to the other list; Help explains the dialog.
#pragma once

#include "monitor/column_layout.h"
#include "res/resource.h"
#include "ui/dialog.h"
#include "ui/list_box.h"
#include "base/handles.h"

#include <commctrl.h>

#include <string>

namespace monitor {

class CColumnsDlg : public ui::Dialog {
public:
    // `order` is written only when the dialog ends with OK.
    CColumnsDlg(ColumnCodes& order, uint32_t sizeUnit, HWND parent);

    // The unit chosen (after OK) or the one given.
    uint32_t SizeUnit() const { return static_cast<uint32_t>(m_sizeUnit); }

    // The text a list shows for a column type: its heading, marked when servers of kind 3
    // lack the column.
    static std::string ColumnText(uint32_t type);

    // Moves the displayed item at `from` so that it lands before the item now at `before`
    // (the end of the list when `before` is past it). What a drag and drop does.
    void MoveDisplayedItem(int from, int before);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(ui::DataExchange& exchange) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    ui::ListBox Displayed() const { return ui::ListBox(Item(IDC_DISPLAYED_COLUMNS)); }
    ui::ListBox Available() const { return ui::ListBox(Item(IDC_AVAILABLE_COLUMNS)); }
    void AddColumn();
    void RemoveColumn();
    void UpdateButtons();
    void MoveSelectedBy(int step); // the selected displayed item, one place up (-1) or down
    LRESULT OnDragList(const DRAGLISTINFO& info);
    void DrawImageButton(const DRAWITEMSTRUCT& item);

    ColumnCodes& m_order;
    int m_sizeUnit;
    base::UniqueBitmap m_addImage;
    base::UniqueBitmap m_removeImage;
    int m_dragFrom = -1;
};

} // namespace monitor
