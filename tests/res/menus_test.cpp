#include "res/resource.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// One menu item as the test expects it: text and id, or a separator (empty text, id 0).
struct Item {
    std::string text;
    UINT id;
};
const Item Separator{"", 0};

class LoadedMenu {
public:
    explicit LoadedMenu(UINT id)
        : menu_(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id))) {}
    ~LoadedMenu() {
        if (menu_)
            DestroyMenu(menu_);
    }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

std::string ItemText(HMENU menu, int position) {
    char text[256] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return text;
}

std::vector<Item> ItemsOf(HMENU popup) {
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        EXPECT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
        EXPECT_EQ(nullptr, info.hSubMenu) << "item " << i << " opens a sub-menu";
        if (info.fType & MFT_SEPARATOR)
            items.push_back(Separator);
        else
            items.push_back({ItemText(popup, i), info.wID});
    }
    return items;
}

void ExpectPopup(HMENU menu, int position, const std::string& name,
                 const std::vector<Item>& expected) {
    EXPECT_EQ(name, ItemText(menu, position));
    HMENU popup = GetSubMenu(menu, position);
    ASSERT_NE(nullptr, popup) << name;
    std::vector<Item> actual = ItemsOf(popup);
    ASSERT_EQ(expected.size(), actual.size()) << name;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].text, actual[i].text) << name << " item " << i;
        EXPECT_EQ(expected[i].id, actual[i].id) << name << " item " << i;
    }
}
} // namespace

TEST(Menus, MainMenuHasFileViewAndHelpInOrder) {
    LoadedMenu menu(IDR_MAINFRAME);
    ASSERT_NE(nullptr, menu.get());
    ASSERT_EQ(3, GetMenuItemCount(menu.get()));
    ExpectPopup(menu.get(), 0, "&File",
                {{"Properties...\tAlt+Enter", ID_FILE_PROPERTIES},
                 Separator,
                 {"&Find\tCtrl+F", ID_EDIT_FIND},
                 {"&Pause", ID_VIEW_PAUSE},
                 {"&Release", ID_VIEW_RELEASE},
                 Separator,
                 {"&Column...", ID_VIEW_COLUMNS},
                 {"&Frequency...\tCtrl+U", ID_FILE_FREQUENCY},
                 Separator,
                 {"&Print...\tCtrl+P", ID_FILE_PRINT},
                 {"Print Pre&view", ID_FILE_PRINT_PREVIEW},
                 {"P&rint Setup...", ID_FILE_PRINT_SETUP},
                 Separator,
                 {"E&xit", ID_APP_EXIT}});
    ExpectPopup(menu.get(), 1, "&View",
                {{"&Toolbar", ID_VIEW_TOOLBAR},
                 {"&Status Bar", ID_VIEW_STATUS_BAR},
                 {"Zoom &In", ID_VIEW_ZOOM_IN},
                 {"Zoom &out", ID_VIEW_ZOOM_OUT},
                 {"&100%", ID_VIEW_ZOOM_100}});
    ExpectPopup(menu.get(), 2, "&Help", {{"&About Kelvane...", ID_APP_ABOUT}});
}

TEST(Menus, TrayMenuStartsWithMonitor) {
    LoadedMenu menu(IDR_TRAY_MENU);
    ASSERT_NE(nullptr, menu.get());
    ASSERT_EQ(1, GetMenuItemCount(menu.get()));
    ExpectPopup(menu.get(), 0, "Notify",
                {{"Monitor", ID_TRAY_MONITOR},
                 {"Properties...", ID_FILE_PROPERTIES},
                 Separator,
                 {"Exit", ID_TRAY_EXIT}});
}

TEST(Menus, RowContextMenu) {
    LoadedMenu menu(IDR_ROW_MENU);
    ASSERT_NE(nullptr, menu.get());
    ASSERT_EQ(1, GetMenuItemCount(menu.get()));
    ExpectPopup(menu.get(), 0, "_POPUP_",
                {{"&Delete\tDel", ID_EDIT_DELETE},
                 {"Pr&operties...\tCtrl+Y", ID_QUOTA_PROPERTIES},
                 {"Sc&an", ID_QUOTA_SCAN},
                 Separator,
                 {"&Apply Template...\tCtrl+T", ID_QUOTA_APPLY_TEMPLATE}});
}

TEST(Accelerators, KeysMapToTheirCommands) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(nullptr, table);
    ACCEL entries[64];
    int count = CopyAcceleratorTableA(table, entries, 64);
    const BYTE modifiers = FVIRTKEY | FCONTROL | FALT | FSHIFT;
    struct Expected {
        BYTE flags;
        WORD key;
        WORD command;
    };
    const Expected expected[] = {
        {FVIRTKEY | FCONTROL, 'C', ID_EDIT_COPY},
        {FVIRTKEY | FCONTROL, 'F', ID_EDIT_FIND},
        {FVIRTKEY | FCONTROL, 'N', ID_FILE_NEW},
        {FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN},
        {FVIRTKEY | FCONTROL, 'P', ID_FILE_PRINT},
        {FVIRTKEY | FCONTROL, 'S', ID_FILE_SAVE},
        {FVIRTKEY | FCONTROL, 'U', ID_FILE_FREQUENCY},
        {FVIRTKEY | FCONTROL, 'V', ID_EDIT_PASTE},
        {FVIRTKEY | FALT, VK_BACK, ID_EDIT_UNDO},
        {FVIRTKEY | FSHIFT, VK_DELETE, ID_EDIT_CUT},
        {FVIRTKEY, VK_F6, ID_NEXT_PANE},
        {FVIRTKEY | FSHIFT, VK_F6, ID_PREV_PANE},
        {FVIRTKEY | FCONTROL, VK_INSERT, ID_EDIT_COPY},
        {FVIRTKEY | FSHIFT, VK_INSERT, ID_EDIT_PASTE},
        {FVIRTKEY | FALT, VK_RETURN, ID_QUOTA_PROPERTIES},
        {FVIRTKEY | FCONTROL, 'X', ID_EDIT_CUT},
        {FVIRTKEY | FCONTROL, 'Z', ID_EDIT_UNDO},
    };
    ASSERT_EQ(static_cast<int>(std::size(expected)), count);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(expected[i].flags, entries[i].fVirt & modifiers) << "entry " << i;
        EXPECT_EQ(expected[i].key, entries[i].key) << "entry " << i;
        EXPECT_EQ(expected[i].command, entries[i].cmd) << "entry " << i;
    }
    DestroyAcceleratorTable(table);
}

TEST(Accelerators, TranslateAltEnterIntoQuotaProperties) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(nullptr, table);
    ACCEL entries[64];
    int count = CopyAcceleratorTableA(table, entries, 64);
    int found = 0;
    for (int i = 0; i < count; ++i) {
        if (entries[i].cmd == ID_QUOTA_PROPERTIES) {
            ++found;
            EXPECT_EQ(VK_RETURN, entries[i].key);
            EXPECT_TRUE(entries[i].fVirt & FALT);
        }
    }
    EXPECT_EQ(1, found);
    DestroyAcceleratorTable(table);
}

TEST(Toolbar, LayoutListsTheButtonsInOrder) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found =
        FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(RT_TOOLBAR_LAYOUT));
    ASSERT_NE(nullptr, found);
    const WORD* words = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(nullptr, words);
    const std::vector<WORD> expected = {1,
                                        16,
                                        15,
                                        9,
                                        ID_VIEW_PAUSE,
                                        ID_VIEW_RELEASE,
                                        ID_VIEW_ZOOM_IN,
                                        ID_VIEW_ZOOM_OUT,
                                        ID_VIEW_COLUMNS,
                                        0,
                                        ID_FILE_PRINT,
                                        0,
                                        ID_APP_ABOUT};
    ASSERT_EQ(expected.size() * sizeof(WORD), SizeofResource(module, found));
    EXPECT_EQ(expected, std::vector<WORD>(words, words + expected.size()));
}
