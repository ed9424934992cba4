#include "res/resource.h"
#include "dialog_checks.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {
// Control `id` exists, is of `window_class`, has every style bit of `styles` and, unless
// `text` is null, exactly that text.
void ExpectControl(const TemplateDialog& dialog, int id, const char* window_class,
                   const char* text = nullptr, DWORD styles = 0) {
    HWND control = dialog.Item(id);
    ASSERT_NE(nullptr, control) << "control " << id;
    EXPECT_STRCASEEQ(window_class, ClassOf(control).c_str()) << "control " << id;
    if (text) {
        EXPECT_EQ(text, WindowText(control)) << "control " << id;
    }
    EXPECT_EQ(styles, StyleOf(control) & styles) << "control " << id;
}

void ExpectLabel(const TemplateDialog& dialog, const char* text) {
    HWND label = ChildWithText(dialog.get(), text);
    ASSERT_NE(nullptr, label) << text;
    EXPECT_STRCASEEQ("Static", ClassOf(label).c_str()) << text;
}

void ExpectOkAndCancel(const TemplateDialog& dialog, const char* ok = "OK") {
    ExpectControl(dialog, IDOK, "Button", ok, BS_DEFPUSHBUTTON);
    ExpectControl(dialog, IDCANCEL, "Button", "Cancel");
}

void Type(HWND edit, const char* keys) {
    for (const char* key = keys; *key; ++key)
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(*key), 0);
}
} // namespace

TEST(Dialogs, AboutShowsTheProgramIconAndProductLine) {
    TemplateDialog dialog(IDD_ABOUT);
    ASSERT_NE(nullptr, dialog.get());
    EXPECT_EQ("About Kelvane", WindowText(dialog.get()));
    ExpectControl(dialog, IDC_ABOUT_ICON, "Static", nullptr, SS_ICON);
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(
                           SendMessageA(dialog.Item(IDC_ABOUT_ICON), STM_GETICON, 0, 0)));
    ExpectControl(dialog, IDC_ABOUT_PRODUCT, "Static", "Allotrix/Sentrel\nKelvane");
    EXPECT_FALSE(WindowText(dialog.Item(IDC_ABOUT_NOTICE)).empty());
    ExpectControl(dialog, IDOK, "Button", "OK", BS_DEFPUSHBUTTON);
    EXPECT_EQ("", LayoutFaults(dialog.get()));
}

TEST(Dialogs, FrequencyTakesDigitsOnly) {
    TemplateDialog dialog(IDD_FREQUENCY);
    ASSERT_NE(nullptr, dialog.get());
    EXPECT_EQ("Monitor Frequency", WindowText(dialog.get()));
    ExpectLabel(dialog, "Seconds:");
    ExpectControl(dialog, IDC_FREQUENCY_SECONDS, "Edit", "", ES_NUMBER | WS_TABSTOP);
    ExpectOkAndCancel(dialog);
    Type(dialog.Item(IDC_FREQUENCY_SECONDS), "1a-5 x0");
    EXPECT_EQ("150", WindowText(dialog.Item(IDC_FREQUENCY_SECONDS)));
    EXPECT_EQ("", LayoutFaults(dialog.get()));
}

TEST(Dialogs, ColumnsHasBothListsImageButtonsAndUnitGroup) {
    TemplateDialog dialog(IDD_COLUMNS);
    ASSERT_NE(nullptr, dialog.get());
    EXPECT_EQ("Columns", WindowText(dialog.get()));
    ExpectLabel(dialog, "Available Columns:");
    ExpectLabel(dialog, "Displayed Columns:");
    ExpectControl(dialog, IDC_AVAILABLE_COLUMNS, "ListBox", nullptr, LBS_SORT | LBS_NOTIFY);
    ExpectControl(dialog, IDC_DISPLAYED_COLUMNS, "ListBox", nullptr, LBS_NOTIFY);
    EXPECT_EQ(0u, StyleOf(dialog.Item(IDC_DISPLAYED_COLUMNS)) &
                      (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    EXPECT_EQ(0u,
              StyleOf(dialog.Item(IDC_AVAILABLE_COLUMNS)) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    for (int id : {IDC_ADD_COLUMN, IDC_REMOVE_COLUMN}) {
        ExpectControl(dialog, id, "Button");
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), StyleOf(dialog.Item(id)) & BS_TYPEMASK);
    }
    // The add button stands between the lists, above the remove button.
    RECT available, add, remove, displayed;
    GetWindowRect(dialog.Item(IDC_AVAILABLE_COLUMNS), &available);
    GetWindowRect(dialog.Item(IDC_ADD_COLUMN), &add);
    GetWindowRect(dialog.Item(IDC_REMOVE_COLUMN), &remove);
    GetWindowRect(dialog.Item(IDC_DISPLAYED_COLUMNS), &displayed);
    EXPECT_LT(available.right, add.left);
    EXPECT_LT(add.right, displayed.left);
    EXPECT_LT(add.bottom, remove.top);

    HWND group = ChildWithText(dialog.get(), "Output Criteria:");
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(static_cast<DWORD>(BS_GROUPBOX), StyleOf(group) & BS_TYPEMASK);
    ExpectControl(dialog, IDC_SPACE_UNIT_BYTES, "Button", "Bytes", WS_GROUP | WS_TABSTOP);
    ExpectControl(dialog, IDC_SPACE_UNIT_KILOBYTES, "Button", "KiloBytes");
    ExpectControl(dialog, IDC_SPACE_UNIT_MEGABYTES, "Button", "MegaBytes");
    ExpectControl(dialog, IDC_SPACE_UNIT_GIGABYTES, "Button", "GigaBytes");
    // The radio group is exactly the four units, in the order of their unit numbers.
    const int units[] = {IDC_SPACE_UNIT_BYTES, IDC_SPACE_UNIT_KILOBYTES, IDC_SPACE_UNIT_MEGABYTES,
                         IDC_SPACE_UNIT_GIGABYTES};
    HWND item = dialog.Item(IDC_SPACE_UNIT_BYTES);
    for (int unit = 0; unit < 4; ++unit) {
        EXPECT_EQ(units[unit], GetDlgCtrlID(item)) << "unit " << unit;
        EXPECT_EQ(static_cast<DWORD>(BS_AUTORADIOBUTTON), StyleOf(item) & BS_TYPEMASK);
        item = GetNextDlgGroupItem(dialog.get(), item, FALSE);
    }
    EXPECT_EQ(IDC_SPACE_UNIT_BYTES, GetDlgCtrlID(item));

    ExpectOkAndCancel(dialog);
    ExpectControl(dialog, ID_HELP, "Button", "Help");
    EXPECT_EQ("", LayoutFaults(dialog.get()));
}

TEST(Dialogs, ServerChooserHasTreeAndComputerName) {
    TemplateDialog dialog(IDD_SERVER_CHOOSER);
    ASSERT_NE(nullptr, dialog.get());
    EXPECT_EQ("Choose a Windows NT Server", WindowText(dialog.get()));
    ExpectControl(dialog, IDC_SERVER_TREE, WC_TREEVIEWA, nullptr,
                  TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS);
    ExpectLabel(dialog, "Computer:");
    ExpectControl(dialog, IDC_COMPUTER_NAME, "Edit", "", WS_TABSTOP);
    ExpectOkAndCancel(dialog);
    EXPECT_EQ("", LayoutFaults(dialog.get()));
}

TEST(Dialogs, FolderChooserAddsAndCreatesFolders) {
    TemplateDialog dialog(IDD_FOLDER_CHOOSER);
    ASSERT_NE(nullptr, dialog.get());
    ExpectControl(dialog, IDC_FOLDER_TREE, WC_TREEVIEWA, nullptr,
                  TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    ExpectOkAndCancel(dialog, "Add");
    ExpectControl(dialog, IDC_NEW_FOLDER, "Button", "New Folder...");
    EXPECT_EQ("", LayoutFaults(dialog.get()));
}

TEST(Dialogs, NewFolderAsksForAName) {
    TemplateDialog dialog(IDD_NEW_FOLDER);
    ASSERT_NE(nullptr, dialog.get());
    EXPECT_EQ("New Folder", WindowText(dialog.get()));
    ExpectControl(dialog, IDC_CURRENT_FOLDER, "Static", "", SS_NOPREFIX);
    ExpectLabel(dialog, "Create Folder:");
    ExpectControl(dialog, IDC_NEW_FOLDER_NAME, "Edit", "", WS_TABSTOP);
    ExpectOkAndCancel(dialog);
    // The current-folder text has room for its two lines.
    RECT text;
    GetClientRect(dialog.Item(IDC_CURRENT_FOLDER), &text);
    HDC dc = GetDC(dialog.Item(IDC_CURRENT_FOLDER));
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(
                                       dialog.Item(IDC_CURRENT_FOLDER), WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog.Item(IDC_CURRENT_FOLDER), dc);
    EXPECT_GE(text.bottom, 2 * metrics.tmHeight);
    EXPECT_EQ("", LayoutFaults(dialog.get()));
}

TEST(Dialogs, TemplateChooserListsNamesOfOneComputer) {
    TemplateDialog dialog(IDD_TEMPLATE_CHOOSER);
    ASSERT_NE(nullptr, dialog.get());
    EXPECT_EQ("Select template, report set, user filter", WindowText(dialog.get()));
    ExpectLabel(dialog, "Select a computer:");
    ExpectControl(dialog, IDC_CHOOSER_COMPUTER, "ComboBox", nullptr, CBS_DROPDOWNLIST);
    EXPECT_EQ(0u, StyleOf(dialog.Item(IDC_CHOOSER_COMPUTER)) & CBS_SORT);
    ExpectControl(dialog, IDC_CHOOSER_BROWSE, "Button", "...");
    ExpectControl(dialog, IDC_CHOOSER_LIST, WC_LISTVIEWA, nullptr,
                  LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER);
    EXPECT_EQ(0u,
              StyleOf(dialog.Item(IDC_CHOOSER_LIST)) & (LVS_SORTASCENDING | LVS_SORTDESCENDING));
    ExpectOkAndCancel(dialog, "Apply");
    ExpectControl(dialog, ID_HELP, "Button", "Help");
    ExpectControl(dialog, IDC_CHOOSER_BATCH, "Button", "Batch...", WS_DISABLED);
    ExpectControl(dialog, IDC_CHOOSER_NEW, "Button", "New...", WS_DISABLED);
    ExpectControl(dialog, IDC_CHOOSER_PROPERTIES, "Button", "Properties...", WS_DISABLED);
    EXPECT_EQ("", LayoutFaults(dialog.get()));
}
