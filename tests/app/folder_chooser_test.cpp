#include "server/folder_chooser.h"
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
        for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
            end = path.find('\\', start);
            if (!(item = Find(item, path.substr(start, end - start))))
                return nullptr;
            Expand(item);
        }
        return item;
    }
    void Click(int id) { ::Click(m_dialog.Handle(), id); }
    // Clicks New Folder... and types `name` into the New Folder dialog, whose OK waits for a
    // name; returns the dialog's text.
    std::string CreateThroughDialog(const std::string& name) {
        std::string shown;
        DialogDriver driver("New Folder", [&](HWND dialog) {
            shown = ControlText(dialog, IDC_CURRENT_FOLDER);
            EXPECT_FALSE(Enabled(dialog, IDOK));
            SetDlgItemTextA(dialog, IDC_NEW_FOLDER_NAME, "typed and taken back");
            SetDlgItemTextA(dialog, IDC_NEW_FOLDER_NAME, "");
            EXPECT_FALSE(Enabled(dialog, IDOK));
            ::Click(dialog, IDOK); // nothing to create: the dialog stays
            SetDlgItemTextA(dialog, IDC_NEW_FOLDER_NAME, name.c_str());
            EXPECT_TRUE(Enabled(dialog, IDOK));
            ::Click(dialog, IDOK);
        });
        Click(IDC_NEW_FOLDER);
        return shown;
    }

    AXCli m_client;
    CFolderChooserDlg m_dialog;
};

} // namespace

TEST_F(FolderChooser, ListsTheServersDrivesAndFoldersAndAddReturnsTheSelectedOne) {
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
    EXPECT_EQ(expected, Children(nullptr));
    EXPECT_NE(nullptr, Find(nullptr, "C:"));
    EXPECT_EQ(TreeView_GetRoot(Tree()), TreeView_GetSelection(Tree()));

    TreeView_SelectItem(Tree(), nullptr);
    MessageBoxWatch watch;
    Click(IDOK);
    EXPECT_EQ(std::vector<std::string>{"No directory selected"}, watch.Texts());
    EXPECT_TRUE(IsWindow(m_dialog.Handle()));
    EXPECT_TRUE(m_dialog.ChosenPath().empty());

    // Expanding shows only folders, in name order, and Add returns the chosen one.
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
    TreeView_SelectItem(Tree(), gamma);
    Click(IDOK);
    EXPECT_EQ(folder.Path() + "\\gamma", m_dialog.ChosenPath());

    CFolderChooserDlg again; // a drive comes with its backslash
    again.SetClient(&m_client);
    ASSERT_TRUE(again.CreateModeless());
    HWND tree = GetDlgItem(again.Handle(), IDC_FOLDER_TREE);
    TreeView_SelectItem(tree, FindTreeChild(tree, nullptr, "C:"));
    ::Click(again.Handle(), IDOK);
    EXPECT_EQ("C:\\", again.ChosenPath());
}

TEST_F(FolderChooser, NewFolderGoesBelowTheSelectionIntoTheTreeOrIsReported) {
    TestFolder folder("chooser-new");
    folder.MakeFolder("zulu");
    HTREEITEM item = Open(folder.Path());
    ASSERT_NE(nullptr, item);
    TreeView_SelectItem(Tree(), item);
    EXPECT_EQ("The current folder is\n" + folder.Path(), CreateThroughDialog("new"));
    EXPECT_TRUE(Exists(folder.Path() + "\\new"));
    EXPECT_EQ((std::vector<std::string>{"new", "zulu"}), Children(item));

    // In a folder not yet expanded it is listed on the first expansion.
    HTREEITEM zulu = Find(item, "zulu");
    TreeView_SelectItem(Tree(), zulu);
    CreateThroughDialog("made-early");
    EXPECT_TRUE(Exists(folder.Path() + "\\zulu\\made-early"));
    EXPECT_TRUE(Children(zulu).empty());
    Expand(zulu);
    EXPECT_EQ(std::vector<std::string>{"made-early"}, Children(zulu));

    TreeView_SelectItem(Tree(), item);
    {
        MessageBoxWatch watch;
        CreateThroughDialog("zulu");
        EXPECT_EQ(std::vector<std::string>{"Error: Creating Folder " + folder.Path() + "\\zulu\n" +
                                           SystemText(ERROR_ALREADY_EXISTS)},
                  watch.Texts());
    }
    EXPECT_EQ((std::vector<std::string>{"new", "zulu"}), Children(item));

    const std::string onRoot = "C:\\kelvane-chooser-root";
    RemoveDirectoryA(onRoot.c_str());
    TreeView_SelectItem(Tree(), Find(nullptr, "C:"));
    EXPECT_EQ("The current folder is\nC:\\", CreateThroughDialog("kelvane-chooser-root"));
    EXPECT_TRUE(Exists(onRoot));
    RemoveDirectoryA(onRoot.c_str());
}
