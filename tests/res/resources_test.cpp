// The strings, menus, accelerators and toolbar fit together: every id has its text, every command
// a prompt and a tip, every key a menu names is in the accelerator table, every toolbar button has
// an image.
#include "base/handles.h"
#include "resource_ids.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {
HMODULE Module() {
    return GetModuleHandleA(nullptr);
}

// The text of string resource `id`, or "<missing>" when there is none.
std::string LoadedText(UINT id) {
    char buffer[2048];
    int length = LoadStringA(Module(), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, length) : std::string("<missing>");
}

struct Item {
    std::string text;
    UINT id; // 0 for a separator
};

// The popups of menu resource `id`, each with its items.
std::vector<std::vector<Item>> PopupsOf(UINT id) {
    std::vector<std::vector<Item>> popups;
    base::UniqueMenu menu(LoadMenuA(Module(), MAKEINTRESOURCEA(id)));
    EXPECT_TRUE(menu) << "menu " << id;
    for (int i = 0; menu && i < GetMenuItemCount(menu.Get()); ++i) {
        HMENU popup = GetSubMenu(menu.Get(), i);
        popups.emplace_back();
        for (int j = 0; j < GetMenuItemCount(popup); ++j) {
            char text[256] = "";
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = sizeof text;
            EXPECT_TRUE(GetMenuItemInfoA(popup, j, TRUE, &info)) << "menu " << id << " " << i;
            EXPECT_EQ(nullptr, info.hSubMenu) << text << " opens a sub-menu";
            popups.back().push_back({text, (info.fType & MFT_SEPARATOR) ? 0 : info.wID});
        }
    }
    return popups;
}

std::vector<ACCEL> Accelerators() {
    HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    EXPECT_NE(nullptr, table);
    std::vector<ACCEL> entries(64);
    entries.resize(CopyAcceleratorTableA(table, entries.data(), 64));
    DestroyAcceleratorTable(table);
    return entries;
}

constexpr BYTE kModifiers = FVIRTKEY | FCONTROL | FALT | FSHIFT;

// The accelerator a menu's key hint ("Ctrl+F", "Alt+Enter") names.
ACCEL KeyOfHint(std::string hint) {
    ACCEL key{FVIRTKEY, 0, 0};
    const std::pair<const char*, BYTE> modifiers[] = {
        {"Ctrl+", FCONTROL}, {"Alt+", FALT}, {"Shift+", FSHIFT}};
    for (const auto& [word, flag] : modifiers)
        if (hint.rfind(word, 0) == 0) {
            key.fVirt |= flag;
            hint.erase(0, strlen(word));
        }
    key.key = hint == "Enter" ? VK_RETURN : hint == "Del" ? VK_DELETE : WORD(hint[0]);
    return key;
}

const ACCEL* Find(const std::vector<ACCEL>& table, BYTE flags, WORD key) {
    for (const ACCEL& entry : table)
        if ((entry.fVirt & kModifiers) == flags && entry.key == key)
            return &entry;
    return nullptr;
}
} // namespace

TEST(Strings, EveryStringIdOfTheHeaderHasItsOwnText) {
    std::set<unsigned> seen;
    for (NamedId string : kStringIds) {
        EXPECT_NE("<missing>", LoadedText(string.id)) << string.name;
        EXPECT_TRUE(seen.insert(string.id).second) << string.name << " shares its number";
    }
    EXPECT_GT(seen.size(), 100u); // the list is read from the header, not empty
}

TEST(Strings, EveryCommandHasAStatusLinePromptAndAToolTip) {
    for (NamedId command : kCommandIds) {
        std::string text = LoadedText(command.id);
        size_t newline = text.find('\n');
        if (command.id == ID_TRAY_EXIT || command.id == ID_FILE_PROPERTIES ||
            command.id == ID_TRAY_MONITOR) {
            EXPECT_EQ(std::string::npos, newline) << command.name << ": a prompt only";
            continue;
        }
        ASSERT_NE(std::string::npos, newline) << command.name << ": " << text;
        EXPECT_GT(newline, 10u) << command.name;
        EXPECT_LT(newline + 1, text.size()) << command.name;
    }
}

// Every menu item has a prompt, once in its popup; every key a menu names is in the table, and a
// row command's key does what its menu says.
TEST(Menus, EveryItemHasAPromptAndTheKeysTheMenusNameAreInTheTable) {
    std::vector<ACCEL> table = Accelerators();
    for (UINT menu : {IDR_MAINFRAME, IDR_TRAY_MENU, IDR_ROW_MENU}) {
        for (const std::vector<Item>& popup : PopupsOf(menu)) {
            std::set<UINT> ids;
            for (const Item& item : popup) {
                if (item.id == 0)
                    continue;
                EXPECT_NE("<missing>", LoadedText(item.id)) << item.text;
                EXPECT_TRUE(ids.insert(item.id).second) << item.text << " is in its popup twice";
                size_t tab = item.text.find('\t');
                if (tab == std::string::npos)
                    continue;
                ACCEL key = KeyOfHint(item.text.substr(tab + 1));
                const ACCEL* found = Find(table, key.fVirt, key.key);
                ASSERT_NE(nullptr, found) << item.text << " has no key";
                if (menu == IDR_ROW_MENU) {
                    EXPECT_EQ(item.id, found->cmd) << item.text;
                }
            }
        }
    }
    const ACCEL* copy = Find(table, FVIRTKEY | FCONTROL, 'C');
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(ID_EDIT_COPY, copy->cmd);
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(&table[i], Find(table, table[i].fVirt & kModifiers, table[i].key))
            << "key " << table[i].key << " is taken twice";
}

TEST(Toolbar, EveryButtonHasAnImageOnTheMaskColour) {
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                MAKEINTRESOURCEA(RT_TOOLBAR_LAYOUT));
    ASSERT_NE(nullptr, found);
    const WORD* words = static_cast<const WORD*>(LockResource(LoadResource(Module(), found)));
    // version, image width, image height, button count, then the buttons (0: a separator)
    ASSERT_EQ(1, words[0]);
    ASSERT_EQ((4u + words[3]) * sizeof(WORD), SizeofResource(Module(), found));
    const int images = static_cast<int>(words[3] - std::count(words + 4, words + 4 + words[3], 0));
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, bitmap);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(images * words[1], info.bmWidth);
    EXPECT_EQ(words[2], info.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(RGB(TOOLBAR_MASK_RED, TOOLBAR_MASK_GREEN, TOOLBAR_MASK_BLUE), GetPixel(dc, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}
