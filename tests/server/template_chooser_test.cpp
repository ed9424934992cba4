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

class TemplateChooser : public ::testing::Test {
protected:
    void SetUp() override { RemoveAllTemplates(); }
    void TearDown() override { RemoveAllTemplates(); }
};

// A chooser shown modeless, so that the test can work its controls.
class OpenChooser {
public:
    OpenChooser(uint32_t mode, const char* computer) : m_dialog(mode, computer) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        EXPECT_TRUE(m_dialog.CreateModeless());
    }
    CTemplateChooserDlg& Dialog() { return m_dialog; }
    HWND Item(int id) const { return GetDlgItem(m_dialog.Handle(), id); }
    HWND List() const { return Item(IDC_CHOOSER_LIST); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        int count = ListView_GetItemCount(List());
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            ListView_GetItemText(List(), i, 0, text, sizeof text);
            names.push_back(text);
        }
        return names;
    }
    int Selected() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }
    int ColumnWidth() const { return ListView_GetColumnWidth(List(), 0); }
    int TextWidth(const std::string& text) const {
        return ListView_GetStringWidth(List(), text.c_str());
    }
    bool ApplyEnabled() const { return IsWindowEnabled(Item(IDOK)) != FALSE; }
    // The user picks combo entry `index`.
    void PickComputer(int index) {
        HWND combo = Item(IDC_CHOOSER_COMPUTER);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(m_dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_CHOOSER_COMPUTER, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    void AddComputerEntry(const std::string& name) {
        SendMessageA(Item(IDC_CHOOSER_COMPUTER), CB_INSERTSTRING, 0,
                     reinterpret_cast<LPARAM>(name.c_str()));
    }
    void ClickApply() {
        SendMessageA(m_dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(IDOK)));
    }
    void DoubleClick(int item) {
        NMITEMACTIVATE click{};
        click.hdr = {List(), IDC_CHOOSER_LIST, static_cast<UINT>(NM_DBLCLK)};
        click.iItem = item;
        SendMessageA(m_dialog.Handle(), WM_NOTIFY, IDC_CHOOSER_LIST,
                     reinterpret_cast<LPARAM>(&click));
    }

private:
    CTemplateChooserDlg m_dialog;
};

// The control's own visibility (the chooser itself is never shown on screen here).
bool Shown(HWND control) {
    return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void AddFiveTemplates() {
    OrdinaryTemplate("Home Folders").Sub("Quota").String("PermQuota", "100");
    OrdinaryTemplate("Archive");
    OrdinaryTemplate("Projects");
    FallbackTemplate("<User Fallback>");
    FallbackTemplate("<Directory Fallback>");
}

} // namespace

TEST_F(TemplateChooser, ListsTheFallbackTemplatesFirstThenTheOrdinaryOnes) {
    AddFiveTemplates();
    OpenChooser chooser(CTemplateChooserDlg::Templates, LocalComputerName().c_str());

    std::vector<std::string> names = chooser.Names();
    ASSERT_EQ(5u, names.size());
    EXPECT_EQ((std::set<std::string>{"<User Fallback>", "<Directory Fallback>"}),
              (std::set<std::string>{names[0], names[1]}));
    EXPECT_EQ((std::set<std::string>{"Home Folders", "Archive", "Projects"}),
              (std::set<std::string>{names[2], names[3], names[4]}));
    EXPECT_EQ(0, chooser.Selected());
    EXPECT_TRUE(chooser.ApplyEnabled());
    for (int hidden : {IDC_CHOOSER_BATCH, IDC_CHOOSER_NEW, IDC_CHOOSER_PROPERTIES, ID_HELP})
        EXPECT_FALSE(Shown(chooser.Item(hidden))) << hidden;
    EXPECT_EQ(LocalComputerName(), ControlText(chooser.Dialog().Handle(), IDC_CHOOSER_COMPUTER));
}

TEST_F(TemplateChooser, ReportSetModeListsTheReportSetsOnly) {
    AddFiveTemplates();
    OpenChooser chooser(CTemplateChooserDlg::ReportSets, LocalComputerName().c_str());
    EXPECT_TRUE(chooser.Names().empty()) << "no reporting product, no report sets";
    EXPECT_FALSE(chooser.ApplyEnabled());
    EXPECT_TRUE(Shown(chooser.Item(ID_HELP)));

    TestKey(HKEY_LOCAL_MACHINE, std::string(kReportSetsKey) + "\\Weekly usage");
    chooser.AddComputerEntry(LocalComputerName());
    chooser.PickComputer(0);
    EXPECT_EQ(std::vector<std::string>{"Weekly usage"}, chooser.Names());
    EXPECT_TRUE(chooser.ApplyEnabled());
}

TEST_F(TemplateChooser, NoComputerOrAnUnreachableOneListsNothingAndShowsTheSystemText) {
    AddFiveTemplates();
    {
        OpenChooser none(CTemplateChooserDlg::Templates, nullptr);
        EXPECT_TRUE(none.Names().empty());
        EXPECT_FALSE(none.ApplyEnabled());
    }
    HKEY unused = nullptr;
    LONG status = ConnectServerRegistry("NOSUCHHOST-KV", &unused);
    ASSERT_NE(0, status);
    char expected[1024] = {};
    GetErrorText(static_cast<DWORD>(status), expected, sizeof expected);

    MessageBoxWatch watch;
    OpenChooser chooser(CTemplateChooserDlg::Templates, "NOSUCHHOST-KV");
    EXPECT_EQ(std::vector<std::string>{expected}, watch.Texts());
    EXPECT_TRUE(chooser.Names().empty());
    EXPECT_FALSE(chooser.ApplyEnabled());

    // Another computer can be picked afterwards.
    chooser.AddComputerEntry(LocalComputerName());
    chooser.PickComputer(0);
    EXPECT_EQ(5u, chooser.Names().size());
    EXPECT_TRUE(chooser.ApplyEnabled());
}

TEST_F(TemplateChooser, LongNamesWidenTheColumnAndShortOnesNeverNarrowIt) {
    OrdinaryTemplate("Short");
    OpenChooser chooser(CTemplateChooserDlg::Templates, LocalComputerName().c_str());
    const int initial = chooser.ColumnWidth();
    const std::string longName = "Quota for the departmental project shares of the research "
                                 "and development group, second floor";
    OrdinaryTemplate(longName);
    chooser.AddComputerEntry(LocalComputerName());
    chooser.PickComputer(0);
    const int widened = chooser.ColumnWidth();
    EXPECT_GT(widened, chooser.TextWidth(longName));
    EXPECT_GT(widened, initial);

    RemoveAllTemplates();
    OrdinaryTemplate("Short");
    chooser.PickComputer(1);
    EXPECT_EQ(std::vector<std::string>{"Short"}, chooser.Names());
    EXPECT_EQ(widened, chooser.ColumnWidth());
}

TEST_F(TemplateChooser, ApplyOrADoubleClickNeedsASelectionAndReturnsTheComputerAndName) {
    AddFiveTemplates();
    OpenChooser chooser(CTemplateChooserDlg::Templates, LocalComputerName().c_str());
    HWND list = chooser.List();

    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    EXPECT_FALSE(chooser.ApplyEnabled());
    chooser.ClickApply();
    EXPECT_TRUE(IsWindow(chooser.Dialog().Handle())); // nothing happens without a selection
    EXPECT_TRUE(chooser.Dialog().ChosenName().empty());

    ListView_SetItemState(list, 3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(chooser.ApplyEnabled());
    const std::string expected = chooser.Names()[3];
    chooser.ClickApply();
    EXPECT_EQ(expected, chooser.Dialog().ChosenName());
    EXPECT_EQ(LocalComputerName(), chooser.Dialog().ComputerName());
    EXPECT_EQ(nullptr, chooser.Dialog().Handle()); // closed

    OpenChooser clicked(CTemplateChooserDlg::Templates, LocalComputerName().c_str());
    ListView_SetItemState(clicked.List(), 1, LVIS_SELECTED, LVIS_SELECTED);
    const std::string second = clicked.Names().at(1);
    clicked.DoubleClick(1);
    EXPECT_EQ(second, clicked.Dialog().ChosenName());
}
