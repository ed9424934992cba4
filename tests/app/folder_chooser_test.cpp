#include "server/folder_chooser.h"
#include "server/new_folder.h"
#include "res/resource.h"
#include "quota_service.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool Exists(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class FolderChooser : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_EQ(0u, m_client.Connect(""));
        m_dialog.SetClient(&m_client);
        ASSERT_TRUE(m_dialog.CreateModeless());
    }

    HWND Tree() const { return GetDlgItem(m_dialog.Handle(), IDC_FOLDER_TREE); }
    std::vector<std::string> Children(HTREEITEM parent) const {
        return TreeChildren(Tree(), parent);
    }
    HTREEITEM Find(HTREEITEM parent, const std::string& text) const {
        return FindTreeChild(Tree(), parent, text);
    }
    void Expand(HTREEITEM item) { ExpandTreeItem(Tree(), item); }
    // Expands the drive and each folder of `path` ("C:\a\b") and returns the last item.
    HTREEITEM Open(const std::string& path) {
        HTREEITEM item = nullptr;
        size_t start = 0;
        while (start < path.size()) {
            size_t end = path.find('\\', start);
            if (end == std::string::npos)
                end = path.size();
            item = Find(item, path.substr(start, end - start));
            EXPECT_NE(nullptr, item) << path.substr(0, end);
            if (!item)
                return nullptr;
            Expand(item);
            start = end + 1;
        }
        return item;
    }
    void Click(int id) {
        SendMessageA(m_dialog.Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dialog.Handle(), id)));
    }
    // Clicks New Folder... and types `name` into the New Folder dialog; returns its texts.
    std::string CreateThroughDialog(const std::string& name) {
        std::string shown;
        DialogDriver driver("New Folder", [&](HWND dialog) {
            shown = ControlText(dialog, IDC_CURRENT_FOLDER);
            SetDlgItemTextA(dialog, IDC_NEW_FOLDER_NAME, name.c_str());
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        Click(IDC_NEW_FOLDER);
        return shown;
    }

    AXCli m_client;
    CFolderChooserDlg m_dialog;
};

} // namespace

TEST_F(FolderChooser, ListsTheServersDrivesButNotItsCdromDrives) {
    EXPECT_EQ("Select a directory", WindowTextOf(m_dialog.Handle()));

    std::vector<std::string> expected;
    char drives[512] = {};
    GetLogicalDriveStringsA(sizeof drives, drives);
    for (const char* drive = drives; *drive; drive += strlen(drive) + 1) {
        UINT type = GetDriveTypeA(drive);
        if (type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_REMOTE ||
            type == DRIVE_RAMDISK)
            expected.push_back(std::string(drive, 2));
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> shown = Children(nullptr);
    EXPECT_EQ(expected, shown);
    EXPECT_NE(shown.end(), std::find(shown.begin(), shown.end(), "C:"));
    EXPECT_EQ(TreeView_GetRoot(Tree()), TreeView_GetSelection(Tree()));
}

TEST_F(FolderChooser, ExpandingShowsOnlyFoldersInNameOrder) {
    TestFolder folder("chooser-tree");
    folder.MakeFolder("beta");
    folder.MakeFolder("Alpha");
    folder.MakeFolder("gamma\\inner");
    folder.WriteFile("aardvark.txt", 10);
    HTREEITEM item = Open(folder.Path());
    ASSERT_NE(nullptr, item);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "gamma"}), Children(item));

    TreeView_Expand(Tree(), item, TVE_COLLAPSE);
    Expand(item);
    EXPECT_EQ(3u, Children(item).size()); // listed once only
    HTREEITEM gamma = Find(item, "gamma");
    Expand(gamma);
    EXPECT_EQ(std::vector<std::string>{"inner"}, Children(gamma));
}

TEST_F(FolderChooser, AddReturnsADriveWithItsBackslashAndAFolderAsItIs) {
    TestFolder folder("chooser-add");
    folder.MakeFolder("data");
    HTREEITEM item = Open(folder.Path());
    ASSERT_NE(nullptr, item);
    TreeView_SelectItem(Tree(), Find(item, "data"));
    Click(IDOK);
    EXPECT_EQ(folder.Path() + "\\data", m_dialog.ChosenPath());

    CFolderChooserDlg again;
    again.SetClient(&m_client);
    ASSERT_TRUE(again.CreateModeless());
    HWND tree = GetDlgItem(again.Handle(), IDC_FOLDER_TREE);
    HTREEITEM drive = FindTreeChild(tree, nullptr, "C:");
    ASSERT_NE(nullptr, drive);
    TreeView_SelectItem(tree, drive);
    SendMessageA(again.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ("C:\\", again.ChosenPath());
}

TEST_F(FolderChooser, AddWithoutASelectionSaysSo) {
    TreeView_SelectItem(Tree(), nullptr);
    MessageBoxWatch watch;
    Click(IDOK);
    EXPECT_EQ(std::vector<std::string>{"No directory selected"}, watch.Texts());
    EXPECT_TRUE(IsWindow(m_dialog.Handle()));
    EXPECT_TRUE(m_dialog.ChosenPath().empty());
}

TEST_F(FolderChooser, NewFolderIsCreatedAndAddedToAnExpandedFolder) {
    TestFolder folder("chooser-new");
    folder.MakeFolder("zulu");
    HTREEITEM item = Open(folder.Path());
    ASSERT_NE(nullptr, item);
    TreeView_SelectItem(Tree(), item);

    std::string shown = CreateThroughDialog("new");
    EXPECT_EQ("The current folder is\n" + folder.Path(), shown);
    EXPECT_TRUE(Exists(folder.Path() + "\\new"));
    EXPECT_EQ((std::vector<std::string>{"new", "zulu"}), Children(item));
}

TEST_F(FolderChooser, NewFolderInAFolderNotYetExpandedIsListedOnItsFirstExpansion) {
    TestFolder folder("chooser-later");
    HTREEITEM parent = Open(folder.Path().substr(0, folder.Path().rfind('\\')));
    ASSERT_NE(nullptr, parent);
    HTREEITEM item = Find(parent, "chooser-later");
    ASSERT_NE(nullptr, item);
    TreeView_SelectItem(Tree(), item);
    CreateThroughDialog("made-early");
    EXPECT_TRUE(Exists(folder.Path() + "\\made-early"));
    EXPECT_TRUE(Children(item).empty());
    Expand(item);
    EXPECT_EQ(std::vector<std::string>{"made-early"}, Children(item));
}

TEST_F(FolderChooser, NewFolderOnADriveRootGoesRightBelowIt) {
    const std::string created = "C:\\kelvane-chooser-root";
    RemoveDirectoryA(created.c_str());
    TreeView_SelectItem(Tree(), Find(nullptr, "C:"));
    std::string shown = CreateThroughDialog("kelvane-chooser-root");
    EXPECT_EQ("The current folder is\nC:\\", shown);
    EXPECT_TRUE(Exists(created));
    RemoveDirectoryA(created.c_str());
}

TEST_F(FolderChooser, FailedCreationIsReportedAndTheTreeStaysAsItWas) {
    TestFolder folder("chooser-fail");
    folder.MakeFolder("taken");
    HTREEITEM item = Open(folder.Path());
    ASSERT_NE(nullptr, item);
    TreeView_SelectItem(Tree(), item);
    MessageBoxWatch watch;
    CreateThroughDialog("taken");
    EXPECT_EQ(std::vector<std::string>{"Error: Creating Folder " + folder.Path() + "\\taken\n" +
                                       SystemText(ERROR_ALREADY_EXISTS)},
              watch.Texts());
    EXPECT_EQ(std::vector<std::string>{"taken"}, Children(item));
}

TEST(NewFolderDialog, OkIsEnabledExactlyWhileANameIsTyped) {
    CNewFolderDlg dialog("C:\\data");
    ASSERT_TRUE(dialog.CreateModeless());
    HWND window = dialog.Handle();
    EXPECT_EQ("The current folder is\nC:\\data", ControlText(window, IDC_CURRENT_FOLDER));
    EXPECT_EQ("", ControlText(window, IDC_NEW_FOLDER_NAME));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDOK)));
    SetDlgItemTextA(window, IDC_NEW_FOLDER_NAME, "reports");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDOK)));
    SetDlgItemTextA(window, IDC_NEW_FOLDER_NAME, "");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDOK)));
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(window)); // nothing to create
    SetDlgItemTextA(window, IDC_NEW_FOLDER_NAME, "reports");
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ("reports", dialog.FolderName());
}
