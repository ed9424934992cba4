#include "base/error_text.h"
#include "registry_keys.h"
#include "res/resource.h"
#include "server/server_registry.h"
#include "server/template_chooser.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A chooser shown modeless, so that the test can work its controls.
class TemplateChooser : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveAllTemplates();
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void TearDown() override { RemoveAllTemplates(); }

    static HWND List(CTemplateChooserDlg& chooser) {
        return GetDlgItem(chooser.Handle(), IDC_CHOOSER_LIST);
    }
    static std::vector<std::string> Names(CTemplateChooserDlg& chooser) {
        std::vector<std::string> names;
        for (int i = 0; i < ListView_GetItemCount(List(chooser)); ++i) {
            char text[256] = {};
            ListView_GetItemText(List(chooser), i, 0, text, sizeof text);
            names.push_back(text);
        }
        return names;
    }
    // The user adds `name` to the computers and picks it.
    static void PickComputer(CTemplateChooserDlg& chooser, const std::string& name) {
        HWND combo = GetDlgItem(chooser.Handle(), IDC_CHOOSER_COMPUTER);
        SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        SendMessageA(chooser.Handle(), WM_COMMAND, MAKEWPARAM(IDC_CHOOSER_COMPUTER, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    static void AddFiveTemplates() {
        OrdinaryTemplate("Home Folders").Sub("Quota").String("PermQuota", "100");
        OrdinaryTemplate("Archive");
        OrdinaryTemplate("Projects");
        FallbackTemplate("<User Fallback>");
        FallbackTemplate("<Directory Fallback>");
    }
};

} // namespace

TEST_F(TemplateChooser, ListsFallbacksFirstAndApplyOrADoubleClickReturnsTheSelection) {
    AddFiveTemplates();
    const std::string computer = LocalComputerName();
    CTemplateChooserDlg chooser(CTemplateChooserDlg::Templates, computer.c_str());
    ASSERT_TRUE(chooser.CreateModeless());
    std::vector<std::string> names = Names(chooser);
    ASSERT_EQ(5u, names.size());
    EXPECT_EQ((std::set<std::string>{"<User Fallback>", "<Directory Fallback>"}),
              (std::set<std::string>{names[0], names[1]}));
    EXPECT_EQ(0, ListView_GetNextItem(List(chooser), -1, LVNI_SELECTED));
    EXPECT_EQ(computer, ControlText(chooser.Handle(), IDC_CHOOSER_COMPUTER));

    ListView_SetItemState(List(chooser), -1, 0, LVIS_SELECTED);
    EXPECT_FALSE(Enabled(chooser.Handle(), IDOK));
    Click(chooser.Handle(), IDOK);
    EXPECT_TRUE(IsWindow(chooser.Handle())) << "nothing happens without a selection";
    ListView_SetItemState(List(chooser), 3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(Enabled(chooser.Handle(), IDOK));
    Click(chooser.Handle(), IDOK);
    EXPECT_EQ(names[3], chooser.ChosenName());
    EXPECT_EQ(computer, chooser.ComputerName());
    EXPECT_EQ(nullptr, chooser.Handle()); // closed

    CTemplateChooserDlg clicked(CTemplateChooserDlg::Templates, computer.c_str());
    ASSERT_TRUE(clicked.CreateModeless());
    ListView_SetItemState(List(clicked), 1, LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE click{};
    click.hdr = {List(clicked), IDC_CHOOSER_LIST, static_cast<UINT>(NM_DBLCLK)};
    click.iItem = 1;
    SendMessageA(clicked.Handle(), WM_NOTIFY, IDC_CHOOSER_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(names[1], clicked.ChosenName());
}

TEST_F(TemplateChooser, AnUnreachableComputerShowsTheSystemTextAndAnotherCanBePicked) {
    AddFiveTemplates();
    HKEY unused = nullptr;
    LONG status = ConnectServerRegistry("NOSUCHHOST-KV", &unused);
    ASSERT_NE(0, status);
    char expected[1024] = {};
    GetErrorText(static_cast<DWORD>(status), expected, sizeof expected);

    MessageBoxWatch watch;
    CTemplateChooserDlg chooser(CTemplateChooserDlg::Templates, "NOSUCHHOST-KV");
    ASSERT_TRUE(chooser.CreateModeless());
    EXPECT_EQ(std::vector<std::string>{expected}, watch.Texts());
    EXPECT_TRUE(Names(chooser).empty());
    EXPECT_FALSE(Enabled(chooser.Handle(), IDOK));

    const std::string longName(90, 'w'); // widens the column to show it whole
    OrdinaryTemplate(longName);
    PickComputer(chooser, LocalComputerName());
    EXPECT_EQ(6u, Names(chooser).size());
    EXPECT_TRUE(Enabled(chooser.Handle(), IDOK));
    EXPECT_GT(ListView_GetColumnWidth(List(chooser), 0),
              ListView_GetStringWidth(List(chooser), longName.c_str()));
}

TEST_F(TemplateChooser, ReportSetModeListsTheReportSetsOnly) {
    AddFiveTemplates();
    CTemplateChooserDlg chooser(CTemplateChooserDlg::ReportSets, LocalComputerName().c_str());
    ASSERT_TRUE(chooser.CreateModeless());
    EXPECT_TRUE(Names(chooser).empty()) << "no reporting product, no report sets";
    EXPECT_FALSE(Enabled(chooser.Handle(), IDOK));
    TestKey(HKEY_LOCAL_MACHINE, std::string(kReportSetsKey) + "\\Weekly usage");
    PickComputer(chooser, LocalComputerName());
    EXPECT_EQ(std::vector<std::string>{"Weekly usage"}, Names(chooser));
    EXPECT_TRUE(Enabled(chooser.Handle(), IDOK));
}
